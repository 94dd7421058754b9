// The board under hostile HTTP: bodies too large or cut short, clients that
// stall, malformed requests and headers, and a hundred clients at once. The
// server keeps answering, and every run it was sent is ranked.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/board/recordings.h"
#include "tests/board/server.h"

namespace {

using board_test::KeyOf;
using board_test::RawExchange;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A stalled client: connected, a request begun, then nothing.
int Stall(int port, const std::string& begun)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons((uint16_t)port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, (sockaddr*)&a, sizeof a) != 0) return -1;
    send(fd, begun.data(), begun.size(), MSG_NOSIGNAL);
    return fd;
}

class BoardHostile : public board_test::BoardTest {
protected:
    std::string Options() override { return "--key-rate 0 --address-rate 0 --read-timeout 1"; }
    bool Healthy(int port)
    {
        std::string a = RawExchange(port, "GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        return a.rfind("HTTP/1.1 200", 0) == 0;
    }
};

TEST_F(BoardHostile, BodiesTooLargeOrCutShortAndBadRequestsLeaveTheServerAnswering)
{
    int port = boards.Port();
    // A body of 100 GB announced: refused at once from its length, unread.
    auto start = Clock::now();
    std::string huge = RawExchange(port, "POST /api/v1/runs HTTP/1.1\r\nHost: x\r\nContent-Type: "
                                         "application/octet-stream\r\nContent-Length: 100000000000\r\n\r\nprism");
    EXPECT_EQ(huge.rfind("HTTP/1.1 413", 0), 0u) << huge;
    EXPECT_LT(Since(start), 2.0);
    // No length at all (a chunked body): refused, not read.
    std::string chunked = RawExchange(port, "POST /api/v1/runs HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n"
                                            "Content-Type: application/octet-stream\r\n\r\n10\r\n0123456789abcdef\r\n");
    EXPECT_EQ(chunked.rfind("HTTP/1.1 411", 0), 0u) << chunked;
    // A body cut short: the client gives 100 bytes of 5000 and goes.
    std::string cut = "POST /api/v1/runs HTTP/1.1\r\nHost: x\r\nX-Player-Name: cut\r\nX-Player-Key: " + KeyOf(1) +
                      "\r\nContent-Type: application/octet-stream\r\nContent-Length: 5000\r\n\r\n" +
                      board_test::StageRecordings()[0].substr(0, 100);
    EXPECT_EQ(RawExchange(port, cut, 1500).find("201"), std::string::npos);
    // Requests that are not HTTP, headers past every limit, a length that
    // is no number.
    for (std::string junk : {std::string("\x16\x03\x01\x02\x00 hello\r\n\r\n"), std::string("GET / HTTP/1.1\r\nX: ") +
                                 std::string(100000, 'a') + "\r\n\r\n",
                             std::string("POST /api/v1/runs HTTP/1.1\r\nContent-Length: -5\r\n\r\n")}) {
        std::string a = RawExchange(port, junk, 1500);
        EXPECT_EQ(a.find("HTTP/1.1 2"), std::string::npos) << a.substr(0, 200);
        EXPECT_TRUE(Healthy(port));
    }
    // Nothing was ranked, and the true run still is.
    auto r = Submit(board_test::StageRecordings()[0], "cut", KeyOf(1));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 201);
}

TEST_F(BoardHostile, StalledClientsAreDroppedAndOthersAreAnsweredMeanwhile)
{
    int port = boards.Port();
    // Forty clients that begin a request and stall: more than the server has
    // threads for its connections.
    std::vector<int> stalled;
    for (int i = 0; i < 40; i++)
        stalled.push_back(Stall(port, i % 2 ? "POST /api/v1/runs HTTP/1.1\r\nHost: x\r\nContent-Length: 900\r\n\r\nab"
                                            : "GET /healthz HTTP/1.1\r\nHo"));
    auto start = Clock::now();
    EXPECT_TRUE(Healthy(port));
    EXPECT_LT(Since(start), 6.0);
    // Each is closed by the server after its read time-out of a second.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    int closed = 0;
    for (int fd : stalled) {
        timeval t{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
        char buffer[4096];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {}
        closed += n == 0;
        close(fd);
    }
    EXPECT_EQ(closed, 40);
}

TEST_F(BoardHostile, AHundredClientsAtOnceLoseNothing)
{
    const std::string run = board_test::StageRecordings()[1];
    std::vector<int> status(100, 0);
    std::vector<std::thread> clients;
    for (int i = 0; i < 100; i++)
        clients.emplace_back([&, i] {
            // A full queue says when to come back: the client does.
            for (int tries = 0; tries < 50; tries++) {
                auto r = Submit(board_test::TrueVariant(run, i), "c" + std::to_string(i), KeyOf(100 + i));
                if (!r) continue;
                status[i] = r->status;
                if (r->status != 503) break;
                EXPECT_EQ(r->get_header_value("Retry-After"), "1");
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
            boards.Client().Get("/api/v1/boards/" + run.substr(run.find("stage-hash ") + 11, 16));
        });
    for (std::thread& t : clients) t.join();
    for (int i = 0; i < 100; i++) EXPECT_EQ(status[i], 201) << "client " << i;
    auto b = boards.Client().Get("/api/v1/boards/" + run.substr(run.find("stage-hash ") + 11, 16) + "?limit=1000");
    ASSERT_TRUE(b);
    for (int i = 0; i < 100; i++)
        EXPECT_NE(b->body.find("\"name\":\"c" + std::to_string(i) + "\""), std::string::npos) << i;
    size_t entries = 0;
    for (size_t at = 0; (at = b->body.find("\"rank\":", at)) != std::string::npos; at++) entries++;
    EXPECT_EQ(entries, 100u);
}

}  // namespace
