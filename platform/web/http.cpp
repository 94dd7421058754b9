// The browser's HTTP: the page's fetch, answered in the browser's own time;
// the game asks once a frame (see PlatformHttpStart in platform/platform.h).
// Each request is kept by the page under its handle until
// PlatformHttpEnd; the answer's bytes are copied into the game's memory
// once, when first asked for. A board on another origin must allow it
// (CORS); one that does not answers nothing, as no network would.
#include <emscripten.h>

#include <map>
#include <string>

#include "platform/platform.h"

namespace {

EM_JS(int, PageHttpStart, (const char* method, const char* url, const char* headers, const void* body, int size), {
    const requests = Module.httpRequests || (Module.httpRequests = {next : 1, all : {}});
    const handle = requests.next++;
    const request = {state : 0, status : 0, bytes : null, abort : new AbortController()};
    requests.all[handle] = request;
    const fields = {};
    for (const line of UTF8ToString(headers).split("\n")) {
        const colon = line.indexOf(":");
        if (colon > 0) fields[line.slice(0, colon)] = line.slice(colon + 1).trim();
    }
    const options = {method : UTF8ToString(method), headers : fields, signal : request.abort.signal};
    if (size > 0) options.body = HEAPU8.slice(body, body + size);
    const timer = setTimeout(() => request.abort.abort(), 30000);
    fetch(UTF8ToString(url), options)
        .then(answer => answer.arrayBuffer().then(buffer => {
            request.status = answer.status;
            request.bytes = new Uint8Array(buffer);
            request.state = request.bytes.length > 4194304 ? 2 : 1;
        }))
        .catch(() => { request.state = 2; })
        .finally(() => clearTimeout(timer));
    return handle;
});
EM_JS(int, PageHttpState, (int handle, int* status, int* size), {
    const request = Module.httpRequests && Module.httpRequests.all[handle];
    if (!request) return 2;
    if (request.state == 1) {
        HEAP32[status >> 2] = request.status;
        HEAP32[size >> 2] = request.bytes.length;
    }
    return request.state;
});
EM_JS(void, PageHttpCopy, (int handle, char* buffer), {
    HEAPU8.set(Module.httpRequests.all[handle].bytes, buffer);
});
EM_JS(void, PageHttpEnd, (int handle), {
    const request = Module.httpRequests && Module.httpRequests.all[handle];
    if (!request) return;
    if (request.state == 0) request.abort.abort();
    delete Module.httpRequests.all[handle];
});

std::map<int, std::string> answers;  // copied once, by handle

}  // namespace

int PlatformHttpStart(const char* method, const char* url, const char* headers, const void* body, size_t size)
{
    std::string address = url ? url : "";
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) return 0;
    if (size > PLATFORM_HTTP_MAX_ANSWER) return 0;
    return PageHttpStart(method ? method : "GET", url, headers ? headers : "", body, body ? (int)size : 0);
}

int PlatformHttpPoll(int handle, int* status, const char** body, size_t* size)
{
    int code = 0, length = 0;
    int state = PageHttpState(handle, &code, &length);
    if (state != PLATFORM_HTTP_ANSWERED) return state;
    auto found = answers.find(handle);
    if (found == answers.end()) {
        std::string& bytes = answers[handle];
        bytes.resize((size_t)length);
        if (length > 0) PageHttpCopy(handle, &bytes[0]);
        found = answers.find(handle);
    }
    *status = code;
    *body = found->second.data();
    *size = found->second.size();
    return PLATFORM_HTTP_ANSWERED;
}

void PlatformHttpEnd(int handle)
{
    if (handle <= 0) return;
    PageHttpEnd(handle);
    answers.erase(handle);
}
