// The outbox and its sending; see online.h.
#include "game/online.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <system_error>
#include <vector>

#include "game/datadir.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/score.h"
#include "game/settings.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

// The board takes a recording of at most 1 MiB; a larger file is no run to send.
constexpr size_t OUTBOX_FILE_MAX = 1u << 20;
constexpr uint32_t FIRST_WAIT_MS = 2000, LONGEST_WAIT_MS = 300000;

struct Pending {
    std::string name;
    std::string bytes;
    int stage = 0;
    bool onDisk = false;
    int failures = 0;
    uint32_t dueMs = 0;
};

struct Outbox {
    bool loaded = false;
    std::vector<Pending> pending;
    int handle = 0;          // the request under way, 0 for none
    std::string sending;     // its run's name
    std::map<std::string, int> answers;  // name: rank (> 0), or -1 refused
};
Outbox outbox;

uint64_t Fnv(const std::string& bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// Written holding the score lock, so that another copy's start never takes
// the file being written for a leftover of a killed write.
bool WriteOutboxFile(Pending& p)
{
    std::string folder = OutboxFolder(scoreFilePath);
    char why[160] = "";
    if (!MakePrivateFolders(folder)) snprintf(why, sizeof why, "its folder cannot be made");
    else if (PlatformLockFile(scoreFilePath) == PLATFORM_LOCK_BUSY) snprintf(why, sizeof why, "another copy holds it");
    else p.onDisk = PlatformReplaceFile((folder + "/" + p.name).c_str(), p.bytes.data(), p.bytes.size(), why, sizeof why);
    PlatformUnlockFile();
    if (p.onDisk) return true;
    if (p.failures == 0)
        fprintf(stderr, "Prismveldt: the run of stage %d cannot be kept in the outbox %s (%s); it is sent from memory\n",
                p.stage, folder.c_str(), why);
    return false;
}

bool IsOutboxName(const std::string& name)
{
    return name.size() == 16 + 7 && name.find_first_not_of("0123456789abcdef") == 16 &&
           name.compare(16, 7, ".replay") == 0;
}

// What is waiting in the outbox from earlier runs, once.
void LoadOutbox()
{
    outbox.loaded = true;
    std::string folder = OutboxFolder(scoreFilePath);
    std::error_code error;
    std::vector<std::string> names;
    // What a write killed half-way left ("NAME.saving-XXXXXX") goes first.
    std::vector<std::string> leftovers;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (IsOutboxName(name)) names.push_back(name);
        else if (name.size() > 23 && IsOutboxName(name.substr(0, 23))) leftovers.push_back(name.substr(0, 23));
    }
    if (!leftovers.empty() && PlatformLockFile(scoreFilePath) != PLATFORM_LOCK_BUSY)
        for (const std::string& name : leftovers) PlatformRemoveReplaceLeftovers((folder + "/" + name).c_str());
    PlatformUnlockFile();
    for (const std::string& name : names) {
        bool known = false;
        for (const Pending& p : outbox.pending) known = known || p.name == name;
        if (known) continue;
        // Read when its turn to be sent comes, a file a frame.
        Pending p;
        p.name = name;
        p.onDisk = true;
        outbox.pending.push_back(p);
    }
}

void Forget(const std::string& name, bool onDisk);

// An earlier run's file, read at its turn; false, with it forgotten, when
// it has gone (another copy of the game sent it) or is no recording (not a
// run the game queued: it would never be ranked), which is removed.
bool ReadOutboxFile(Pending& p)
{
    std::string path = OutboxFolder(scoreFilePath) + "/" + p.name;
    Recording r;
    int read = ReadWholeFile(path.c_str(), OUTBOX_FILE_MAX, &p.bytes);
    if (read == WHOLE_FILE_MISSING) {
        Forget(p.name, false);
        return false;
    }
    if (read != WHOLE_FILE_OK || !ParseRecording(p.bytes.data(), p.bytes.size(), &r, nullptr)) {
        fprintf(stderr, "Prismveldt: %s in the outbox is no recording; it is removed\n", p.name.c_str());
        Forget(p.name, true);
        return false;
    }
    p.stage = r.stage;
    return true;
}

void Forget(const std::string& name, bool onDisk)
{
    if (onDisk) {
        std::error_code error;
        fs::remove(OutboxFolder(scoreFilePath) + "/" + name, error);
    }
    for (size_t i = 0; i < outbox.pending.size(); i++)
        if (outbox.pending[i].name == name) {
            outbox.pending.erase(outbox.pending.begin() + (long)i);
            return;
        }
}

Pending* Find(const std::string& name)
{
    for (Pending& p : outbox.pending)
        if (p.name == name) return &p;
    return nullptr;
}

// A refusal that the same run sent again would meet again.
bool FinalRefusal(int status) { return status >= 400 && status < 500 && status != 408 && status != 429; }

void TakeAnswer(int state, int status, const std::string& body)
{
    Pending* p = Find(outbox.sending);
    if (p == nullptr) return;
    if (state == PLATFORM_HTTP_ANSWERED && status == 201) {
        long long rank = 0;
        JsonNumber(body, "rank", &rank);
        outbox.answers[p->name] = rank > 0 ? (int)rank : 0;
        Forget(p->name, p->onDisk);
        return;
    }
    if (state == PLATFORM_HTTP_ANSWERED && FinalRefusal(status)) {
        std::string why = body.substr(0, 200);
        for (char& c : why)
            if ((unsigned char)c < 0x20 || (unsigned char)c > 0x7E) c = '?';
        fprintf(stderr, "Prismveldt: the records board refused the run of stage %d (%d %s); it is not sent again\n",
                p->stage, status, why.c_str());
        outbox.answers[p->name] = -1;
        Forget(p->name, p->onDisk);
        return;
    }
    uint32_t wait = FIRST_WAIT_MS << (p->failures < 8 ? p->failures : 8);
    p->failures++;
    p->dueMs = PlatformTimeMs() + (wait < LONGEST_WAIT_MS ? wait : LONGEST_WAIT_MS);
}

}  // namespace

std::string OutboxName(const std::string& bytes)
{
    char name[32];
    snprintf(name, sizeof name, "%016llx.replay", (unsigned long long)Fnv(bytes));
    return name;
}

std::string OutboxFolder(const char* scorePath) { return KeptFilePath(scorePath, "outbox"); }

const std::string& OnlinePlayerKey()
{
    static std::string key;
    if (!key.empty() || scoreFilePath == nullptr) return key;
    std::string path = KeptFilePath(scoreFilePath, "online-key.txt");
    if (PlatformLockFile(scoreFilePath) != PLATFORM_LOCK_BUSY) PlatformRemoveReplaceLeftovers(path.c_str());
    PlatformUnlockFile();
    std::string kept;
    if (ReadWholeFile(path.c_str(), 256, &kept) == WHOLE_FILE_OK) {
        while (!kept.empty() && (kept.back() == '\n' || kept.back() == '\r')) kept.pop_back();
        if (kept.size() == 32 && kept.find_first_not_of("0123456789abcdef") == std::string::npos) return key = kept;
    }
    std::random_device random;
    char made[40];
    snprintf(made, sizeof made, "%08x%08x%08x%08x", random(), random(), random(), random());
    key = made;
    std::string text = key + "\n";
    char why[160] = "";
    if (!PlatformReplaceFile(path.c_str(), text.data(), text.size(), why, sizeof why))
        fprintf(stderr, "Prismveldt: the online key cannot be kept in %s (%s); it lasts this session only\n",
                path.c_str(), why);
    return key;
}

std::string OnlineBase()
{
    std::string base = settings.onlineServer;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

std::string OnlineHeaders()
{
    return "X-Player-Name: " + settings.onlineName + "\nX-Player-Key: " + OnlinePlayerKey() + "\n";
}

bool JsonNumber(const std::string& json, const char* name, long long* value, size_t from)
{
    size_t at = json.find("\"" + std::string(name) + "\":", from);
    if (at == std::string::npos) return false;
    const char* start = json.c_str() + at + std::string(name).size() + 3;
    char* end = nullptr;
    long long read = std::strtoll(start, &end, 10);
    if (end == start) return false;
    *value = read;
    return true;
}

std::string QueueOnlineRun(const Recording& recording)
{
    if (!OnlineReady(settings) || scoreFilePath == nullptr) return "";
    Pending p;
    p.bytes = FormatRecording(recording);
    p.name = OutboxName(p.bytes);
    p.stage = recording.stage;
    p.dueMs = PlatformTimeMs();
    if (Find(p.name) == nullptr) {
        WriteOutboxFile(p);
        outbox.pending.push_back(p);
    }
    return p.name;
}

void StepOnlineRecords()
{
    if (!OnlineReady(settings) || scoreFilePath == nullptr) {
        if (outbox.handle) PlatformHttpEnd(outbox.handle);
        outbox.handle = 0;
        return;
    }
    if (!outbox.loaded) LoadOutbox();
    if (outbox.handle) {
        int status = 0;
        const char* body = nullptr;
        size_t size = 0;
        int state = PlatformHttpPoll(outbox.handle, &status, &body, &size);
        if (state == PLATFORM_HTTP_WAITING) return;
        TakeAnswer(state, status, state == PLATFORM_HTTP_ANSWERED ? std::string(body, size) : "");
        PlatformHttpEnd(outbox.handle);
        outbox.handle = 0;
        return;
    }
    uint32_t now = PlatformTimeMs();
    for (Pending& p : outbox.pending) {
        if ((int32_t)(now - p.dueMs) < 0) continue;
        if (p.bytes.empty() && !ReadOutboxFile(p)) return;
        if (!p.onDisk) WriteOutboxFile(p);
        std::string url = OnlineBase() + "/api/v1/runs";
        std::string headers = OnlineHeaders() + "Content-Type: application/octet-stream\n";
        outbox.handle = PlatformHttpStart("POST", url.c_str(), headers.c_str(), p.bytes.data(), p.bytes.size());
        outbox.sending = p.name;
        if (outbox.handle == 0) TakeAnswer(PLATFORM_HTTP_FAILED, 0, "");
        return;
    }
}

int OnlineAnswer(const std::string& name, int* rank)
{
    auto found = outbox.answers.find(name);
    if (found == outbox.answers.end()) return ONLINE_UNKNOWN;
    *rank = found->second;
    return found->second < 0 ? ONLINE_REFUSED : ONLINE_RANKED;
}
