// The desktop's HTTP: libcurl (platform/curl).
#include "platform/curl/curl_http.h"
#include "platform/platform.h"

int PlatformHttpStart(const char* method, const char* url, const char* headers, const void* body, size_t size)
{
    return CurlHttpStart(method, url, headers, body, size);
}
int PlatformHttpPoll(int handle, int* status, const char** body, size_t* size)
{
    return CurlHttpPoll(handle, status, body, size);
}
void PlatformHttpEnd(int handle) { CurlHttpEnd(handle); }
