// Token buckets per sender, forgotten once full again.
#include "board/throttle.h"

bool ThrottleAllows(Throttle* t, const std::string& sender, double now)
{
    if (t->perMinute <= 0) return true;
    std::lock_guard<std::mutex> hold(t->lock);
    // Senders whose bucket has filled again are forgotten, so the map stays
    // as small as the set of senders of the last minute.
    if (t->buckets.size() > 100000)
        for (auto at = t->buckets.begin(); at != t->buckets.end();)
            at = now - at->second.at > 60 ? t->buckets.erase(at) : std::next(at);
    auto found = t->buckets.find(sender);
    if (found == t->buckets.end()) found = t->buckets.emplace(sender, Throttle::Bucket{t->perMinute, now}).first;
    Throttle::Bucket& b = found->second;
    b.tokens += (now - b.at) * t->perMinute / 60;
    if (b.tokens > t->perMinute) b.tokens = t->perMinute;
    b.at = now;
    if (b.tokens < 1) return false;
    b.tokens -= 1;
    return true;
}
