// HTTP on Windows: WinHTTP's synchronous calls on a thread of the request's
// own, so the game's thread only starts it and asks once a frame (see
// PlatformHttpStart in platform/platform.h). A request and its answer are
// shared by the two threads under one lock; the last of them to let go
// frees it.
#include "platform/windows/win_internal.h"

#include <winhttp.h>

#include <atomic>
#include <map>
#include <string>

namespace {

struct Request {
    std::wstring method, url, headers;
    std::string body, answer;
    int status = 0;
    int state = PLATFORM_HTTP_WAITING;
    std::atomic<bool> cancelled{false};
    int holders = 2;  // the game's handle and the thread
};

CRITICAL_SECTION requestsLock;
bool lockReady = false;
std::map<int, Request*> requests;
int lastHandle = 0;

std::wstring Wide(const std::string& text)
{
    if (text.empty()) return L"";
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], length);
    return wide;
}

void LetGo(Request* r)
{
    EnterCriticalSection(&requestsLock);
    bool last = --r->holders == 0;
    LeaveCriticalSection(&requestsLock);
    if (last) delete r;
}

// The whole exchange; the answer's status, or 0 when there is none.
int Exchange(Request* r, std::string* answer)
{
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {}, path[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 255;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 2047;
    parts.dwExtraInfoLength = (DWORD)-1;
    if (!WinHttpCrackUrl(r->url.c_str(), 0, 0, &parts)) return 0;
    std::wstring target = std::wstring(path, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    HINTERNET session = WinHttpOpen(L"Prismveldt", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session) return 0;
    WinHttpSetTimeouts(session, 5000, 5000, 30000, 30000);
    int status = 0;
    HINTERNET connection = WinHttpConnect(session, host, parts.nPort, 0);
    HINTERNET request = connection ? WinHttpOpenRequest(connection, r->method.c_str(), target.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                        parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)
                                   : nullptr;
    if (request &&
        WinHttpSendRequest(request, r->headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : r->headers.c_str(),
                           r->headers.empty() ? 0 : (DWORD)-1L, r->body.empty() ? WINHTTP_NO_REQUEST_DATA : &r->body[0],
                           (DWORD)r->body.size(), (DWORD)r->body.size(), 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        DWORD code = 0, size = sizeof code;
        if (WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX)) {
            status = (int)code;
            char chunk[8192];
            DWORD read = 0;
            for (;;) {
                if (!WinHttpReadData(request, chunk, sizeof chunk, &read)) {
                    status = 0;
                    break;
                }
                if (read == 0) break;
                if (answer->size() + read > PLATFORM_HTTP_MAX_ANSWER || r->cancelled) {
                    status = 0;
                    break;
                }
                answer->append(chunk, read);
            }
        }
    }
    if (request) WinHttpCloseHandle(request);
    if (connection) WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
    return status;
}

DWORD WINAPI Send(void* context)
{
    Request* r = static_cast<Request*>(context);
    std::string answer;
    int status = Exchange(r, &answer);
    EnterCriticalSection(&requestsLock);
    r->answer.swap(answer);
    r->status = status;
    r->state = status > 0 ? PLATFORM_HTTP_ANSWERED : PLATFORM_HTTP_FAILED;
    LeaveCriticalSection(&requestsLock);
    LetGo(r);
    return 0;
}

}  // namespace

int PlatformHttpStart(const char* method, const char* url, const char* headers, const void* body, size_t size)
{
    std::string address = url ? url : "";
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) return 0;
    if (!lockReady) {
        InitializeCriticalSection(&requestsLock);
        lockReady = true;
    }
    Request* r = new Request;
    r->method = Wide(method ? method : "GET");
    r->url = Wide(address);
    // WinHTTP takes the headers as lines each ending CR LF.
    std::string lines;
    for (const char* c = headers ? headers : ""; *c; c++) {
        if (*c == '\n') lines += '\r';
        lines += *c;
    }
    r->headers = Wide(lines);
    if (body && size) r->body.assign(static_cast<const char*>(body), size);
    HANDLE thread = CreateThread(nullptr, 0, Send, r, 0, nullptr);
    if (!thread) {
        delete r;
        return 0;
    }
    CloseHandle(thread);
    EnterCriticalSection(&requestsLock);
    int handle = ++lastHandle;
    requests[handle] = r;
    LeaveCriticalSection(&requestsLock);
    return handle;
}

int PlatformHttpPoll(int handle, int* status, const char** body, size_t* size)
{
    if (!lockReady) return PLATFORM_HTTP_FAILED;
    EnterCriticalSection(&requestsLock);
    auto found = requests.find(handle);
    int state = found == requests.end() ? PLATFORM_HTTP_FAILED : found->second->state;
    if (state == PLATFORM_HTTP_ANSWERED) {
        *status = found->second->status;
        *body = found->second->answer.data();
        *size = found->second->answer.size();
    }
    LeaveCriticalSection(&requestsLock);
    return state;
}

void PlatformHttpEnd(int handle)
{
    if (!lockReady) return;
    EnterCriticalSection(&requestsLock);
    auto found = requests.find(handle);
    Request* r = found == requests.end() ? nullptr : found->second;
    if (r) {
        r->cancelled = true;
        requests.erase(found);
    }
    LeaveCriticalSection(&requestsLock);
    if (r) LetGo(r);
}
