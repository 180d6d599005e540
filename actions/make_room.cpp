#include "actions/make_room.h"

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
// The program's own files: its executable, its settings, its log and the log's old copy.
constexpr int OwnFiles = 4;

bool ready = false;
char folder[RoomPathSize]; // ends in a backslash
char pattern[RoomPathSize];
std::uint32_t ownKeys[OwnFiles];

// The folder being listed, and the listing of each folder on the way down to it.
char path[RoomPathSize];
RoomListing listings[MakeRoom::MostDepth];
int lengths[MakeRoom::MostDepth];

int length(const char* text) {
    int count = 0;
    while (text[count] != '\0') {
        ++count;
    }
    return count;
}

// A file must have gone unchanged for MakeRoomAge minutes; an age longer than the time since
// 1601 allows none.
std::uint64_t newestAllowed() {
    const std::uint64_t age = static_cast<std::uint64_t>(settings.MakeRoomAge) * TicksPerMinute;
    const std::uint64_t now = roomTimeNow();
    return now > age ? now - age : 0;
}

bool onlyWildcards(const char* name) {
    for (; *name != '\0'; ++name) {
        if (*name != '*' && *name != '?' && *name != '.') {
            return false;
        }
    }
    return true;
}

bool fullFolder(const char* value, int folderLength) {
    const bool drive = ((value[0] | 0x20) >= 'a' && (value[0] | 0x20) <= 'z') && value[1] == ':' &&
                       value[2] == '\\';
    const bool share = value[0] == '\\' && value[1] == '\\' && value[2] != '\\';
    return (drive || share) && folderLength >= 3;
}

// Splits MakeRoom into its folder and its pattern; the reason it cannot be, or null.
const char* split(const char* value) {
    int last = -1;
    for (int i = 0; value[i] != '\0'; ++i) {
        if (value[i] == '\\') {
            last = i;
        }
    }
    const char* name = value + last + 1;
    if (last < 0 || !fullFolder(value, last + 1) || *name == '\0') {
        return "not a full folder path and a file pattern";
    }
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '/' || *c == ':') {
            return "not a full folder path and a file pattern";
        }
    }
    if (onlyWildcards(name)) {
        return "the pattern is only wildcards: name a kind of file";
    }
    TextBuilder kept(folder, sizeof folder);
    for (int i = 0; i <= last; ++i) {
        kept.character(value[i]);
    }
    TextBuilder(pattern, sizeof pattern).text(name);
    return nullptr;
}

bool sameVolume(const char* a, const char* b) {
    char volumeA[RoomPathSize];
    char volumeB[RoomPathSize];
    return roomVolumeOf(a, volumeA, sizeof volumeA) && roomVolumeOf(b, volumeB, sizeof volumeB) &&
           compareFolded(volumeA, volumeB) == 0;
}

void noteOwnFiles() {
    char own[EventLog::PathSize];
    moduleFilePath(own, sizeof own);
    ownKeys[0] = MakeRoom::pathKey(own);
    ownKeys[1] = MakeRoom::pathKey(SettingsFile::path());
    ownKeys[2] = ownKeys[3] = 0;
    if (settings.LogFile[0] != '\0' &&
        EventLog::resolvePath(settings.LogFile, SettingsFile::path(), own, sizeof own - 4)) {
        ownKeys[2] = MakeRoom::pathKey(own);
        TextBuilder(own + length(own), 5).text(".old");
        ownKeys[3] = MakeRoom::pathKey(own);
    }
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

// A folder to enter: a real one, not a link to another place, with room for its name.
bool entered(int& depth, RoomEntry& entry) {
    if ((entry.attributes & (Directory | ReparsePoint)) != Directory || isDots(entry.name) ||
        depth + 1 >= MakeRoom::MostDepth) {
        return false;
    }
    TextBuilder inner(path + lengths[depth], RoomPathSize - lengths[depth]);
    inner.text(entry.name).character('\\');
    if (inner.cut()) {
        path[lengths[depth]] = '\0';
        return false;
    }
    ++depth;
    lengths[depth] = length(path);
    listings[depth] = roomListFirst(path, &entry);
    return true;
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
        return "too long (over 259 characters)";
    }
    if (settings.MakeRoom[0] == '\0') {
        return nullptr;
    }
    if (const char* reason = split(settings.MakeRoom)) {
        return reason;
    }
    // Deleting files elsewhere frees nothing on the watched drive.
    if (!sameVolume(folder, settings.DriveLetter)) {
        return "not on the watched drive's volume";
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
    int depth = 0;
    lengths[0] = TextBuilder(path, sizeof path).text(folder).length();
    RoomEntry entry;
    listings[0] = roomListFirst(path, &entry);
    bool more = listings[0] != nullptr;
    while (depth >= 0) {
        if (more && ++scan.visited > MostEntries) {
            more = false; // enough for one check: the rest waits for the next
            while (depth > 0) {
                roomListClose(listings[depth--]);
            }
        }
        if (!more) {
            if (listings[depth] != nullptr) {
                roomListClose(listings[depth]);
            }
            if (--depth >= 0) {
                path[lengths[depth]] = '\0';
                more = roomListNext(listings[depth], &entry);
            }
            continue;
        }
        if (entered(depth, entry)) {
            more = listings[depth] != nullptr;
            continue;
        }
        if ((entry.attributes & Directory) == 0) {
            considerFile(scan, lengths[depth], entry);
        }
        more = roomListNext(listings[depth], &entry);
    }
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

void describeFailure(Removal removal, std::uint32_t error, char* out, int size) {
    TextBuilder text(out, size);
    if (removal == Removal::InUse) {
        text.text("in use");
    } else if (error == FileNotFound || error == PathNotFound) {
        text.text("gone");
    } else if (error == AccessDenied) {
        text.text("access denied");
    } else {
        text.text("error ").number(error);
    }
}

} // namespace MakeRoom
