#include "actions/make_room.h"

#include <cstring>

#include "core/names.h"
#include "core/text_builder.h"
#include "eventlog/event_log.h"
#include "settings/profile_io.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t ReadOnly = 0x1, Hidden = 0x2, System = 0x4, Directory = 0x10, Device = 0x40,
                        ReparsePoint = 0x400;
// What a user keeps a file with, or what is no plain file of its own.
constexpr std::uint32_t NeverDeleted =
    ReadOnly | Hidden | System | Directory | Device | ReparsePoint;
constexpr std::uint64_t TicksPerMinute = 60ull * 10000000ull; // 100 ns units
constexpr std::uint32_t SharingViolation = 32, LockViolation = 33;
constexpr std::uint32_t FileNotFound = 2, PathNotFound = 3, AccessDenied = 5;
// The program's own files: its executable, its settings, its log, the metrics file, and the
// copies beside the last two.
constexpr int OwnFiles = 6;

bool ready = false;
char folder[RoomPathSize]; // ends in a backslash
char pattern[RoomPathSize];
std::uint32_t ownKeys[OwnFiles];

// The folder being listed, and its entry at hand.
char path[RoomPathSize];
RoomEntry entry;

// A file must have gone unchanged for MakeRoomAge minutes; an age longer than the time since
// 1601 allows none.
std::uint64_t newestAllowed() {
    const std::uint64_t age = static_cast<std::uint64_t>(settings.MakeRoomAge) * TicksPerMinute;
    const std::uint64_t now = roomTimeNow();
    return now > age ? now - age : 0;
}

// Splits MakeRoom into its folder and its pattern; the reason it cannot be, or null.
const char* split(const char* value) {
    const char* last = std::strrchr(value, '\\');
    const bool drive = foldCase(value[0]) >= 'a' && foldCase(value[0]) <= 'z' && value[1] == ':' &&
                       value[2] == '\\';
    const bool share = value[0] == '\\' && value[1] == '\\' && value[2] != '\\';
    if (last == nullptr || last[1] == '\0' || !(drive || share) || last - value < 2) {
        return "not a folder and a file pattern";
    }
    if (last[1 + std::strspn(last + 1, "*?.")] == '\0') {
        return "the pattern names no kind of file";
    }
    const auto folderLength = static_cast<int>(last - value + 1);
    TextBuilder(folder, folderLength + 1).text(value);
    TextBuilder(pattern, sizeof pattern).text(last + 1);
    return nullptr;
}

bool sameVolume(const char* a, const char* b) {
    char volumeA[RoomPathSize];
    char volumeB[RoomPathSize];
    return roomVolumeOf(a, volumeA, sizeof volumeA) && roomVolumeOf(b, volumeB, sizeof volumeB) &&
           compareFolded(volumeA, volumeB) == 0;
}

// The keys of a file the program writes, `name` resolved as the log's name is, and of its
// companion with `suffix` (the log's old copy, the metrics file's next one).
void noteOwnFile(std::uint32_t* keys, const char* name, const char* suffix) {
    char own[EventLog::PathSize + 8];
    keys[0] = keys[1] = 0;
    if (name[0] != '\0' &&
        EventLog::resolvePath(name, SettingsFile::path(), own, EventLog::PathSize)) {
        keys[0] = MakeRoom::pathKey(own);
        TextBuilder(own + std::strlen(own), 8).text(suffix);
        keys[1] = MakeRoom::pathKey(own);
    }
}

void noteOwnFiles() {
    char own[RoomPathSize];
    moduleFilePath(own, sizeof own);
    ownKeys[0] = MakeRoom::pathKey(own);
    ownKeys[1] = MakeRoom::pathKey(SettingsFile::path());
    noteOwnFile(ownKeys + 2, settings.LogFile, ".old");
    noteOwnFile(ownKeys + 4, settings.MetricsFile, ".tmp");
}

bool among(std::uint32_t key, const std::uint32_t* keys, int count) {
    for (int i = 0; i < count; ++i) {
        if (keys[i] == key) {
            return true;
        }
    }
    return false;
}

// Before `b` in the order of deletion: older, or as old and first by path.
bool goesBefore(std::uint64_t lastWrite, const char* filePath, const MakeRoom::Candidate& b) {
    return lastWrite != b.lastWrite ? lastWrite < b.lastWrite : compareFolded(filePath, b.path) < 0;
}

struct Scan {
    MakeRoom::Candidate* out;
    int most;
    int count;
    const std::uint32_t* skip;
    int skipCount;
    std::uint64_t newest;
    int visited;
};

// Keeps the file among the oldest found so far, in their order.
void keep(Scan& scan, const char* filePath, const RoomEntry& entry) {
    int at = scan.count;
    while (at > 0 && goesBefore(entry.lastWrite, filePath, scan.out[at - 1])) {
        --at;
    }
    if (at >= scan.most) {
        return;
    }
    const int last = scan.count < scan.most ? scan.count++ : scan.most - 1;
    for (int i = last; i > at; --i) {
        scan.out[i] = scan.out[i - 1];
    }
    MakeRoom::Candidate& kept = scan.out[at];
    TextBuilder(kept.path, sizeof kept.path).text(filePath);
    kept.lastWrite = entry.lastWrite;
    kept.size = entry.size;
}

void considerFile(Scan& scan, int folderLength, const RoomEntry& entry) {
    if ((entry.attributes & NeverDeleted) != 0 || entry.lastWrite > scan.newest ||
        !matchesPattern(entry.name, pattern)) {
        return;
    }
    TextBuilder full(path + folderLength, RoomPathSize - folderLength);
    full.text(entry.name);
    const std::uint32_t key = MakeRoom::pathKey(path);
    if (!full.cut() && !among(key, ownKeys, OwnFiles) && !among(key, scan.skip, scan.skipCount)) {
        keep(scan, path, entry);
    }
    path[folderLength] = '\0';
}

bool isDots(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// One folder, `path` naming it, and the folders within it: real ones, not links to another
// place, while there is room for their names. The entry is shared by every level: each reads
// its own before it goes down.
void scanFolder(Scan& scan, int depth) {
    const auto folderLength = static_cast<int>(std::strlen(path));
    const RoomListing listing = roomListFirst(path, &entry);
    for (bool more = listing != nullptr; more && ++scan.visited <= MakeRoom::MostEntries;
         more = roomListNext(listing, &entry)) {
        if ((entry.attributes & Directory) == 0) {
            considerFile(scan, folderLength, entry);
        } else if ((entry.attributes & ReparsePoint) == 0 && !isDots(entry.name) &&
                   depth + 1 < MakeRoom::MostDepth) {
            TextBuilder inner(path + folderLength, RoomPathSize - folderLength);
            if (!inner.text(entry.name).character('\\').cut()) {
                scanFolder(scan, depth + 1);
            }
            path[folderLength] = '\0';
        }
    }
    if (listing != nullptr) {
        roomListClose(listing);
    }
}

} // namespace

bool matchesPattern(const char* name, const char* wildcards) {
    const char* star = nullptr;
    const char* resume = name;
    while (*name != '\0') {
        if (*wildcards == '*') {
            star = ++wildcards;
            resume = name;
        } else if (*wildcards == '?' ||
                   (*wildcards != '\0' && foldCase(*wildcards) == foldCase(*name))) {
            ++wildcards;
            ++name;
        } else if (star != nullptr) {
            wildcards = star;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*wildcards == '*') {
        ++wildcards;
    }
    return *wildcards == '\0';
}

namespace MakeRoom {

const char* configure() {
    ready = false;
    if (settings.MakeRoomTooLong) {
        return "too long";
    }
    if (settings.MakeRoom[0] == '\0') {
        return nullptr;
    }
    if (const char* reason = split(settings.MakeRoom)) {
        return reason;
    }
    // Deleting files elsewhere frees nothing on the watched drive.
    if (!sameVolume(folder, settings.DriveLetter)) {
        return "not on the watched drive";
    }
    noteOwnFiles();
    ready = true;
    return nullptr;
}

bool on() {
    return ready;
}

std::uint32_t pathKey(const char* filePath) {
    std::uint32_t key = 2166136261u; // FNV-1a
    for (; *filePath != '\0'; ++filePath) {
        key = (key ^ static_cast<unsigned char>(foldCase(*filePath))) * 16777619u;
    }
    return key;
}

int findOldest(Candidate* out, int most, const std::uint32_t* skip, int skipCount) {
    Scan scan = {out, most, 0, skip, skipCount, newestAllowed(), 0};
    TextBuilder(path, sizeof path).text(folder);
    scanFolder(scan, 0);
    return scan.count;
}

Removal remove(const Candidate& candidate, bool rehearse, std::uint32_t* error) {
    RoomFileInfo info = {};
    *error = 0;
    const RoomFile file = roomOpenForDeletion(candidate.path, &info, error);
    if (file == nullptr) {
        return *error == SharingViolation || *error == LockViolation ? Removal::InUse
                                                                     : Removal::Failed;
    }
    // Looked at again through the handle: the listing may be older than the file.
    Removal result = rehearse ? Removal::Rehearsed : Removal::Deleted;
    if ((info.attributes & NeverDeleted) != 0 || info.links > 1 ||
        info.lastWrite > newestAllowed()) {
        result = Removal::Changed;
    } else if (!rehearse && (*error = roomDeleteHeld(file, candidate.path)) != 0) {
        result = Removal::Failed;
    }
    roomClose(file);
    return result;
}

const char* describeFailure(Removal removal, std::uint32_t error) {
    return removal == Removal::InUse                        ? " in use"
           : error == FileNotFound || error == PathNotFound ? " gone"
           : error == AccessDenied                          ? " access denied"
                                                            : nullptr;
}

} // namespace MakeRoom
