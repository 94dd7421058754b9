// HTTP requests with libcurl, one thread each; see curl_http.h.
#include "platform/curl/curl_http.h"

#include <curl/curl.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace {

struct Request {
    std::string method, url, headers, body;
    std::atomic<bool> cancelled{false};
    // Written by the request's thread before done is set, read by the game's after.
    std::string answer;
    long status = 0;
    std::atomic<int> state{PLATFORM_HTTP_WAITING};
};

std::mutex requestsLock;
std::map<int, std::shared_ptr<Request>> requests;
int lastHandle = 0;

size_t TakeAnswer(char* bytes, size_t size, size_t count, void* context)
{
    Request* r = static_cast<Request*>(context);
    size_t length = size * count;
    // Far past anything the board sends: stop reading, the request fails.
    if (r->answer.size() + length > PLATFORM_HTTP_MAX_ANSWER) return 0;
    r->answer.append(bytes, length);
    return length;
}

int Progress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Request*>(context)->cancelled ? 1 : 0;
}

void Send(std::shared_ptr<Request> r)
{
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        r->state = PLATFORM_HTTP_FAILED;
        return;
    }
    curl_slist* headerList = nullptr;
    size_t start = 0;
    while (start < r->headers.size()) {
        size_t end = r->headers.find('\n', start);
        if (end == std::string::npos) end = r->headers.size();
        std::string line = r->headers.substr(start, end - start);
        if (!line.empty()) headerList = curl_slist_append(headerList, line.c_str());
        start = end + 1;
    }
    // curl would otherwise wait a second for a "100 Continue" before a body.
    headerList = curl_slist_append(headerList, "Expect:");
    curl_easy_setopt(curl, CURLOPT_URL, r->url.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, r->method.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 5000L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 30000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, TakeAnswer);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, r.get());
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, r.get());
    if (r->method == "POST" || !r->body.empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, r->body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t)r->body.size());
    }
    if (r->method == "GET") curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headerList);
    curl_easy_cleanup(curl);
    r->status = status;
    r->state = result == CURLE_OK && status > 0 ? PLATFORM_HTTP_ANSWERED : PLATFORM_HTTP_FAILED;
}

}  // namespace

int CurlHttpStart(const char* method, const char* url, const char* headers, const void* body, size_t size)
{
    std::string address = url ? url : "";
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) return 0;
    static std::once_flag initialised;
    static bool ready = false;
    std::call_once(initialised, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    if (!ready) return 0;
    auto r = std::make_shared<Request>();
    r->method = method ? method : "GET";
    r->url = address;
    r->headers = headers ? headers : "";
    if (body && size) r->body.assign(static_cast<const char*>(body), size);
    int handle;
    {
        std::lock_guard<std::mutex> hold(requestsLock);
        handle = ++lastHandle;
        requests[handle] = r;
    }
    try {
        std::thread(Send, r).detach();
    } catch (...) {
        r->state = PLATFORM_HTTP_FAILED;
    }
    return handle;
}

int CurlHttpPoll(int handle, int* status, const char** body, size_t* size)
{
    std::shared_ptr<Request> r;
    {
        std::lock_guard<std::mutex> hold(requestsLock);
        auto found = requests.find(handle);
        if (found == requests.end()) return PLATFORM_HTTP_FAILED;
        r = found->second;
    }
    int state = r->state;
    if (state == PLATFORM_HTTP_ANSWERED) {
        *status = (int)r->status;
        *body = r->answer.data();
        *size = r->answer.size();
    }
    return state;
}

void CurlHttpEnd(int handle)
{
    std::lock_guard<std::mutex> hold(requestsLock);
    auto found = requests.find(handle);
    if (found == requests.end()) return;
    // The thread still holds its own share, and stops at its next progress call.
    found->second->cancelled = true;
    requests.erase(found);
}
