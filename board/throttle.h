// How much one key or one address may send: a bucket per sender that fills at
// a steady rate and holds at most a minute's worth.
#pragma once
#include <map>
#include <mutex>
#include <string>

struct Throttle {
    double perMinute = 60;  // 0: no limit
    std::mutex lock;
    struct Bucket {
        double tokens;
        double at;  // seconds
    };
    std::map<std::string, Bucket> buckets;
};

// True (and one request counted) when sender may send another at time now
// (seconds on a steady clock); false when it has sent too much.
bool ThrottleAllows(Throttle* throttle, const std::string& sender, double now);
