// The real board server for the tests: started as its own process on a free
// port of the loopback address, with a fresh database, and stopped again.
// The database is a temporary SQLite file, or, when PRISMVELDT_BOARD_POSTGRES
// names a PostgreSQL server (a libpq URL to its "postgres" database), a new
// database made there for each start; PRISMVELDT_BOARD_SERVERS=2 starts two
// servers sharing it, and the tests send their requests to each in turn.
#pragma once
#include <gtest/gtest.h>

#include <httplib.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/harness_run.h"

namespace board_test {

inline const std::string BOARD = std::string(BUILD_DIR) + "/prismveldt-board";

struct BoardServer {
    pid_t pid = -1;
    int port = 0;
    std::string log;  // its standard error
};

struct Boards {
    std::string folder;    // temporary: the SQLite file, the logs
    std::string database;  // the URL every server is given
    std::vector<BoardServer> servers;
    mutable std::atomic<unsigned> next{0};

    // A client of the next server in turn.
    httplib::Client Client() const
    {
        const BoardServer& s = servers[next++ % servers.size()];
        httplib::Client c("127.0.0.1", s.port);
        c.set_read_timeout(30, 0);
        c.set_connection_timeout(5, 0);
        return c;
    }
    int Port(size_t i = 0) const { return servers[i % servers.size()].port; }
};

inline std::string ReadLog(const BoardServer& s) { return harness::ReadText(s.log); }

// Starts one server on boards' database with the options; its port once it
// says it listens, or 0 (with the log) when it does not start.
inline BoardServer StartOneBoard(const Boards& boards, const std::string& options, size_t index)
{
    BoardServer s;
    s.log = boards.folder + "/server" + std::to_string(index) + ".log";
    std::string out = boards.folder + "/server" + std::to_string(index) + ".out";
    std::remove(out.c_str());
    pid_t pid = fork();
    if (pid == 0) {
        std::string command = "exec '" + BOARD + "' --listen 127.0.0.1:0 --database '" + boards.database +
                              "' --data '" + harness::DATA + "' " + options + " >'" + out + "' 2>>'" + s.log + "'";
        execl("/bin/sh", "sh", "-c", command.c_str(), (char*)nullptr);
        _exit(127);
    }
    s.pid = pid;
    for (int tries = 0; tries < 300 && s.port == 0; tries++) {
        std::string said = harness::ReadText(out);
        size_t at = said.find("listening on 127.0.0.1:");
        if (at != std::string::npos && said.find('\n', at) != std::string::npos)
            s.port = std::atoi(said.c_str() + at + 23);
        else if (waitpid(pid, nullptr, WNOHANG) == pid) {
            s.pid = -1;
            break;
        } else
            usleep(20000);
    }
    return s;
}

inline void StopOneBoard(BoardServer& s)
{
    if (s.pid <= 0) return;
    kill(s.pid, SIGTERM);
    int status;
    for (int tries = 0; tries < 250 && waitpid(s.pid, &status, WNOHANG) == 0; tries++) usleep(20000);
    if (waitpid(s.pid, &status, WNOHANG) == 0) {
        kill(s.pid, SIGKILL);
        waitpid(s.pid, &status, 0);
    }
    s.pid = -1;
}

// A new database: a SQLite file in a new folder, or a new PostgreSQL
// database; nothing started yet.
inline bool MakeBoards(Boards* boards)
{
    // A server that closes on a body it will not read ends the client's
    // writing: a broken pipe, not the end of the test.
    signal(SIGPIPE, SIG_IGN);
    char pattern[] = "/tmp/prismveldt-board-test-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    boards->folder = pattern;
    const char* postgres = std::getenv("PRISMVELDT_BOARD_POSTGRES");
    if (!postgres || !*postgres) {
        boards->database = "sqlite:" + boards->folder + "/board.db";
        return true;
    }
    static int made = 0;
    std::string name = "board_test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    PGconn* c = PQconnectdb(postgres);
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(c, ("CREATE DATABASE " + name).c_str());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    PQfinish(c);
    // The same server and options, the new database.
    std::string url = postgres;
    size_t slash = url.find('/', url.find("://") + 3);
    size_t query = url.find('?', slash);
    boards->database = url.substr(0, slash) + "/" + name + (query == std::string::npos ? "" : url.substr(query));
    return ok;
}

// Starts the servers (one, or PRISMVELDT_BOARD_SERVERS) on boards' database.
inline bool StartBoards(Boards* boards, const std::string& options)
{
    const char* count = std::getenv("PRISMVELDT_BOARD_SERVERS");
    int n = count ? std::atoi(count) : 1;
    if (n < 1) n = 1;
    for (int i = 0; i < n; i++) {
        BoardServer s = StartOneBoard(*boards, options, boards->servers.size());
        boards->servers.push_back(s);
        if (s.port == 0) return false;
    }
    return true;
}

inline void StopBoards(Boards* boards)
{
    for (BoardServer& s : boards->servers) StopOneBoard(s);
    boards->servers.clear();
}

// A test fixture with the servers running (SetUp) and stopped, their folder
// removed (TearDown). Options go to every server.
class BoardTest : public testing::Test {
protected:
    virtual std::string Options() { return "--key-rate 0 --address-rate 0"; }
    void SetUp() override
    {
        if (access(BOARD.c_str(), X_OK) != 0 || !harness::HarnessBuilt()) GTEST_SKIP() << "needs " << BOARD;
        ASSERT_TRUE(MakeBoards(&boards)) << "no database for the board";
        ASSERT_TRUE(StartBoards(&boards, Options())) << harness::ReadText(boards.folder + "/server0.log");
    }
    void TearDown() override
    {
        StopBoards(&boards);
        if (!boards.folder.empty()) std::filesystem::remove_all(boards.folder);
    }

    // POST /api/v1/runs with the recording's text as name/key.
    httplib::Result Submit(const std::string& text, const std::string& name, const std::string& key)
    {
        httplib::Headers h = {{"X-Player-Name", name}, {"X-Player-Key", key}};
        return boards.Client().Post("/api/v1/runs", h, text, "application/octet-stream");
    }
    Boards boards;
};

// Sends bytes on a new connection to port, then reads what comes back until
// the server closes or waitMs pass without a byte: the raw exchange.
inline std::string RawExchange(int port, const std::string& bytes, int waitMs = 3000)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons((uint16_t)port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (connect(fd, (sockaddr*)&a, sizeof a) == 0) {
        send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        timeval t{waitMs / 1000, (waitMs % 1000) * 1000};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
        char buffer[4096];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, (size_t)n);
    }
    close(fd);
    return answer;
}

// A player's key: 32 hex digits made from n.
inline std::string KeyOf(int n)
{
    char key[40];
    snprintf(key, sizeof key, "%016x%016x", 0x5eed0000u + (unsigned)n, (unsigned)n * 2654435761u);
    return key;
}

}  // namespace board_test
