// prismveldt-board: the records server. Reads its options, opens the store,
// knows the official stages, plays stored runs again after an upgrade of the
// rules, and serves the API until it is stopped (SIGINT or SIGTERM).
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "board/board.h"

namespace {

httplib::Server* running = nullptr;

void Stop(int) { if (running) running->stop(); }

const char USAGE[] =
    "usage: prismveldt-board --listen HOST:PORT --database sqlite:FILE|postgresql://... --data DIR\n"
    "         [--play DIR] [--workers N] [--queue N] [--verify-ms N] [--max-frames N]\n"
    "         [--key-rate N] [--address-rate N] [--read-timeout S] [--reverify]\n";

bool Number(const char* text, long low, long high, long* value)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < low || v > high) return false;
    *value = v;
    return true;
}

bool ParseOptions(int argc, char** argv, BoardOptions* o)
{
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--reverify") {
            o->reverify = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* v = argv[++i];
        long n = 0;
        if (a == "--listen") {
            std::string s = v;
            size_t colon = s.rfind(':');
            if (colon == std::string::npos || !Number(s.c_str() + colon + 1, 0, 65535, &n)) return false;
            o->host = s.substr(0, colon);
            o->port = (int)n;
        } else if (a == "--database") o->database = v;
        else if (a == "--data") o->data = v;
        else if (a == "--play") o->play = v;
        else if (a == "--workers" && Number(v, 1, 256, &n)) o->workers = (int)n;
        else if (a == "--queue" && Number(v, 1, 100000, &n)) o->queue = (int)n;
        else if (a == "--verify-ms" && Number(v, 1, 600000, &n)) o->verifyMs = (int)n;
        else if (a == "--max-frames" && Number(v, 1, (long)RECORDING_MAX_FRAMES, &n)) o->maxFrames = (int)n;
        else if (a == "--key-rate" && Number(v, 0, 1000000, &n)) o->keyRate = (double)n;
        else if (a == "--address-rate" && Number(v, 0, 1000000, &n)) o->addressRate = (double)n;
        else if (a == "--read-timeout" && Number(v, 1, 600, &n)) o->readTimeoutSeconds = (int)n;
        else return false;
    }
    return !o->database.empty() && !o->data.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    Board board;
    if (!ParseOptions(argc, argv, &board.options)) {
        fputs(USAGE, stderr);
        return 2;
    }
    const BoardOptions& o = board.options;
    std::string why;
    if (!LoadOfficialStages(o.data, &board.stages, &why)) {
        fprintf(stderr, "prismveldt-board: %s\n", why.c_str());
        return 1;
    }
    board.store = OpenStore(o.database, &why);
    if (!board.store) {
        fprintf(stderr, "prismveldt-board: %s\n", why.c_str());
        return 1;
    }
    int workers = o.workers > 0 ? o.workers : (int)std::max(1u, std::thread::hardware_concurrency());
    board.pool = StartVerifyPool(workers, o.queue, o.verifyMs);
    board.keys.perMinute = o.keyRate;
    board.addresses.perMinute = o.addressRate;
    if (ReverifyStoredRuns(&board, o.reverify) < 0) {
        fprintf(stderr, "prismveldt-board: the stored runs could not be played again\n");
        return 1;
    }

    httplib::Server server;
    // Threads for connections: a few per worker, so that reading boards
    // never waits for verification.
    server.new_task_queue = [workers] { return new httplib::ThreadPool(std::max(16, workers * 8)); };
    server.set_read_timeout(o.readTimeoutSeconds, 0);
    server.set_write_timeout(o.readTimeoutSeconds, 0);
    server.set_keep_alive_timeout(o.readTimeoutSeconds);
    server.set_keep_alive_max_count(100);
    AddBoardRoutes(server, &board);
    int port = o.port;
    if (port == 0) port = server.bind_to_any_port(o.host);
    else if (!server.bind_to_port(o.host, port)) port = -1;
    if (port < 0) {
        fprintf(stderr, "prismveldt-board: cannot listen on %s:%d\n", o.host.c_str(), o.port);
        return 1;
    }
    running = &server;
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    std::signal(SIGPIPE, SIG_IGN);
    printf("prismveldt-board: listening on %s:%d\n", o.host.c_str(), port);
    fflush(stdout);
    server.listen_after_bind();
    running = nullptr;
    StopVerifyPool(board.pool);
    CloseStore(board.store);
    return 0;
}
