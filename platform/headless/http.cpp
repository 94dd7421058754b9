// The harness's HTTP: canned answers from --http-fake, frame by frame, or the
// real network through libcurl when none are given; every request logged to
// --http-log. See headless.h.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "gfx/whole_file.h"
#include "platform/curl/curl_http.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

// A canned file is small; a larger one is no file of answers.
constexpr size_t FAKE_MAX_BYTES = 8u << 20;

struct FakeRequest {
    long long answerFrame;
    int status;  // as the answer's line: 0 fail, -1 never
    std::string body;
};
std::map<int, FakeRequest> fakeRequests;
int lastFakeHandle = 0;

// The value of a header among "Name: value" lines; false when it is missing.
bool HeaderValue(const std::string& headers, const std::string& name, std::string* value)
{
    std::istringstream lines(headers);
    for (std::string line; std::getline(lines, line);) {
        size_t colon = line.find(':');
        if (colon == std::string::npos || line.substr(0, colon) != name) continue;
        size_t start = line.find_first_not_of(' ', colon + 1);
        *value = start == std::string::npos ? "" : line.substr(start);
        return true;
    }
    return false;
}

void LogRequest(const std::string& method, const std::string& path, const std::string& headers, size_t size)
{
    if (headless.httpLogPath.empty()) return;
    std::string name = "none", key;
    HeaderValue(headers, "X-Player-Name", &name);
    // The key itself never reaches a log: only whether it is one.
    const char* keyState = "none";
    if (HeaderValue(headers, "X-Player-Key", &key))
        keyState = key.size() == 32 && key.find_first_not_of("0123456789abcdef") == std::string::npos ? "ok" : "bad";
    FILE* log = std::fopen(headless.httpLogPath.c_str(), "a");
    if (log == nullptr) HarnessOutputFailed("the HTTP log", headless.httpLogPath);
    std::fprintf(log, "%s %s bytes=%zu name=%s key=%s\n", method.c_str(), Shown(path).c_str(), size,
                 Shown(name).c_str(), keyState);
    if (std::fclose(log) != 0) HarnessOutputFailed("the HTTP log", headless.httpLogPath);
}

// The url's path and query: what follows its host.
std::string PathOf(const std::string& url)
{
    size_t scheme = url.find("://");
    size_t slash = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    return slash == std::string::npos ? "/" : url.substr(slash);
}

const HttpFakeAnswer* TakeFakeAnswer(const std::string& method, const std::string& path)
{
    HttpFakeAnswer* last = nullptr;
    for (HttpFakeAnswer& a : headless.httpAnswers) {
        bool matches = a.method == method &&
                       (a.prefix ? path.compare(0, a.path.size(), a.path) == 0 : path == a.path);
        if (!matches) continue;
        if (!a.used) {
            a.used = true;
            return &a;
        }
        last = &a;
    }
    return last;
}

}  // namespace

bool ReadHttpFake(const std::string& path, std::string* why)
{
    std::string text;
    if (ReadWholeFile(path.c_str(), FAKE_MAX_BYTES, &text) != WHOLE_FILE_OK) {
        *why = "it cannot be read";
        return false;
    }
    std::string folder = path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    headless.httpFake = true;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        number++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream in(line);
        HttpFakeAnswer a;
        std::string status;
        if (!(in >> a.method) || a.method[0] == '#') continue;
        if (!(in >> a.path >> status)) {
            *why = "line " + std::to_string(number) + ": not METHOD PATH STATUS";
            return false;
        }
        if (a.path.back() == '*') {
            a.prefix = true;
            a.path.pop_back();
        }
        long long value;
        if (status == "fail") a.status = 0;
        else if (status == "never") a.status = -1;
        else if (ParseWholeNumber(status, 100, 599, &value)) a.status = (int)value;
        else {
            *why = "line " + std::to_string(number) + ": the status \"" + Shown(status) + "\" is no HTTP status";
            return false;
        }
        in >> std::ws;
        if (in.peek() == '+') {
            std::string frames;
            in >> frames;
            if (!ParseWholeNumber(frames.substr(1), 0, 1000000, &a.frames)) {
                *why = "line " + std::to_string(number) + ": \"" + Shown(frames) + "\" is no +FRAMES";
                return false;
            }
            in >> std::ws;
        }
        std::getline(in, a.body);
        if (!a.body.empty() && a.body[0] == '@') {
            std::string file = a.body.substr(1);
            if (file.empty() || file[0] != '/') file = folder + "/" + file;
            a.body.clear();
            if (ReadWholeFile(file.c_str(), PLATFORM_HTTP_MAX_ANSWER, &a.body) != WHOLE_FILE_OK) {
                *why = "line " + std::to_string(number) + ": cannot read " + Shown(file);
                return false;
            }
        }
        headless.httpAnswers.push_back(a);
    }
    return true;
}

int PlatformHttpStart(const char* method, const char* url, const char* headers, const void* body, size_t size)
{
    std::string address = url ? url : "";
    LogRequest(method ? method : "GET", PathOf(address), headers ? headers : "", body ? size : 0);
    if (!headless.httpFake) return CurlHttpStart(method, url, headers, body, size);
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) return 0;
    const HttpFakeAnswer* a = TakeFakeAnswer(method ? method : "GET", PathOf(address));
    FakeRequest r{headless.framesStarted, 404, "{\"error\":\"no canned answer\"}"};
    if (a) r = FakeRequest{headless.framesStarted + a->frames, a->status, a->body};
    fakeRequests[++lastFakeHandle] = r;
    return lastFakeHandle;
}

int PlatformHttpPoll(int handle, int* status, const char** body, size_t* size)
{
    if (!headless.httpFake) return CurlHttpPoll(handle, status, body, size);
    auto found = fakeRequests.find(handle);
    if (found == fakeRequests.end()) return PLATFORM_HTTP_FAILED;
    const FakeRequest& r = found->second;
    if (r.status < 0 || headless.framesStarted < r.answerFrame) return PLATFORM_HTTP_WAITING;
    if (r.status == 0) return PLATFORM_HTTP_FAILED;
    *status = r.status;
    *body = r.body.data();
    *size = r.body.size();
    return PLATFORM_HTTP_ANSWERED;
}

void PlatformHttpEnd(int handle)
{
    if (!headless.httpFake) return CurlHttpEnd(handle);
    fakeRequests.erase(handle);
}
