// prismveldt-board-load: sends a board server COUNT submissions from CLIENTS
// clients at once, on the loopback address only, and says how long each took
// to be ranked. The runs are true ones made from the recordings given (the
// pointer's height in a frame that does not fire is changed, which the rules
// ignore), so every one is verified in full and ranked. Stops after COUNT
// submissions or SECONDS, whichever comes first.
//   prismveldt-board-load PORT COUNT CLIENTS SECONDS RECORDING...
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/recording.h"
#include "gfx/whole_file.h"

namespace {

std::string Variant(const Recording& original, int k)
{
    Recording r = original;
    for (RecordedFrame& f : r.frames)
        if (!f.curtain && f.buttons == 0) {
            f.mouseY = 1000 + k;
            break;
        }
    return FormatRecording(r);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        fputs("usage: prismveldt-board-load PORT COUNT CLIENTS SECONDS RECORDING...\n", stderr);
        return 2;
    }
    int port = std::atoi(argv[1]), count = std::atoi(argv[2]), clients = std::atoi(argv[3]);
    double seconds = std::atof(argv[4]);
    if (port <= 0 || count <= 0 || count > 100000 || clients <= 0 || clients > 1000 || seconds <= 0) {
        fputs("prismveldt-board-load: bad numbers\n", stderr);
        return 2;
    }
    std::vector<Recording> runs;
    for (int i = 5; i < argc; i++) {
        Recording r;
        std::string why;
        if (!ReadRecordingFile(argv[i], &r, &why)) {
            fprintf(stderr, "prismveldt-board-load: %s: %s\n", argv[i], why.c_str());
            return 2;
        }
        runs.push_back(r);
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now(), stop = start + std::chrono::milliseconds((long long)(seconds * 1000));
    std::atomic<int> next{0}, ranked{0}, refused{0}, busy{0}, failed{0};
    std::mutex lock;
    std::vector<double> latencies;
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; c++)
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(60, 0);
            char key[40];
            snprintf(key, sizeof key, "%08x%024x", 0x10ad0000u + (unsigned)c, 7u);
            httplib::Headers h = {{"X-Player-Name", "load" + std::to_string(c)}, {"X-Player-Key", key}};
            for (int i; Clock::now() < stop && (i = next++) < count;) {
                std::string body = Variant(runs[(size_t)i % runs.size()], i);
                Clock::time_point sent = Clock::now();
                for (;;) {
                    auto r = client.Post("/api/v1/runs", h, body, "application/octet-stream");
                    if (r && r->status == 503 && Clock::now() < stop) {
                        busy++;
                        std::this_thread::sleep_for(std::chrono::milliseconds(100));
                        continue;
                    }
                    if (!r) failed++;
                    else if (r->status == 201) {
                        ranked++;
                        std::lock_guard<std::mutex> hold(lock);
                        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
                    } else {
                        refused++;
                        if (refused < 5) fprintf(stderr, "refused: %d %s\n", r->status, r->body.c_str());
                    }
                    break;
                }
            }
        });
    for (std::thread& t : threads) t.join();
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) { return latencies.empty() ? 0.0 : latencies[(size_t)(q * (latencies.size() - 1))]; };
    printf("submissions %d ranked %d refused %d failed %d (503 retries %d) in %.1f s\n", std::min(count, next.load()),
           ranked.load(), refused.load(), failed.load(), busy.load(), wall);
    printf("submit-to-ranked p50 %.1f ms p95 %.1f ms\n", at(0.50), at(0.95));
    printf("ranked per second %.1f\n", ranked / wall);
    return ranked.load() == count ? 0 : 1;
}
