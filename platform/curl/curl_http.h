// HTTP with libcurl, for the desktop and the harness: each request runs on a
// thread of its own, so the game's thread only starts it and asks once a
// frame whether it is over. The same contract as PlatformHttpStart,
// PlatformHttpPoll and PlatformHttpEnd (platform/platform.h), which those
// backends hand straight on to these.
#pragma once
#include <cstddef>

int CurlHttpStart(const char* method, const char* url, const char* headers, const void* body, size_t size);
int CurlHttpPoll(int handle, int* status, const char** body, size_t* size);
void CurlHttpEnd(int handle);
