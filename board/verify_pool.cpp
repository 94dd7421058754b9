// A fixed set of threads taking verifications from one bounded queue.
#include "board/verify_pool.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "game/verify.h"

namespace {

struct Job {
    const Recording* recording;
    std::shared_ptr<const StageGrid> grid;
    std::promise<std::pair<bool, std::string>> result;
};

}  // namespace

struct VerifyPool {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<Job*> queue;
    size_t queueLimit = 0;
    int budgetMs = 0;
    bool stopping = false;
    std::vector<std::thread> workers;
};

namespace {

void Work(VerifyPool* pool)
{
    for (;;) {
        Job* job;
        {
            std::unique_lock<std::mutex> hold(pool->lock);
            pool->wake.wait(hold, [&] { return pool->stopping || !pool->queue.empty(); });
            if (pool->queue.empty()) return;  // stopping, and nothing left
            job = pool->queue.front();
            pool->queue.pop_front();
        }
        // This thread's own grid: the others verify on theirs meanwhile.
        std::memcpy(tileMap, job->grid->data(), sizeof tileMap);
        std::string why;
        bool ok = VerifyRecordingOnStage(*job->recording, &why, pool->budgetMs);
        job->result.set_value({ok, why});
    }
}

}  // namespace

VerifyPool* StartVerifyPool(int workers, int queueLimit, int budgetMs)
{
    VerifyPool* pool = new VerifyPool;
    pool->queueLimit = queueLimit > 0 ? (size_t)queueLimit : 1;
    pool->budgetMs = budgetMs;
    if (workers < 1) workers = 1;
    for (int i = 0; i < workers; i++) pool->workers.emplace_back(Work, pool);
    return pool;
}

void StopVerifyPool(VerifyPool* pool)
{
    {
        std::lock_guard<std::mutex> hold(pool->lock);
        pool->stopping = true;
    }
    pool->wake.notify_all();
    for (std::thread& t : pool->workers) t.join();
    delete pool;
}

int VerifyOnPool(VerifyPool* pool, const Recording& recording,
                 std::shared_ptr<const StageGrid> grid, std::string* why)
{
    Job job{&recording, std::move(grid), {}};
    std::future<std::pair<bool, std::string>> done = job.result.get_future();
    {
        std::lock_guard<std::mutex> hold(pool->lock);
        if (pool->queue.size() >= pool->queueLimit) return VERIFY_QUEUE_FULL;
        pool->queue.push_back(&job);
    }
    pool->wake.notify_one();
    std::pair<bool, std::string> result = done.get();
    if (why) *why = result.second;
    return result.first ? VERIFY_ACCEPTED : VERIFY_REFUSED;
}
