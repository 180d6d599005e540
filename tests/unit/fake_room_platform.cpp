#include "tests/unit/fake_room_platform.h"

#include <cstdio>
#include <cstring>
#include <deque>

#include "actions/room_platform.h"
#include "core/names.h"
#include "tests/unit/fake_platform.h"

namespace fakeroom {

std::vector<File> files;
std::uint64_t now;

namespace {

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('\\') + 1);
}

File* find(const char* path) {
    for (File& file : files) {
        if (compareFolded(file.path.c_str(), path) == 0) {
            return &file;
        }
    }
    return nullptr;
}

struct Listing {
    std::vector<File> entries;
    std::size_t next = 0;
};
std::deque<Listing> listings; // until the next reset: what a test lists is small

void fill(const File& file, RoomEntry* entry) {
    std::snprintf(entry->name, sizeof entry->name, "%s", &file.path[file.path.rfind('\\') + 1]);
    entry->attributes = file.attributes;
    entry->lastWrite = file.lastWrite;
    entry->size = file.megabytes * 1048576;
}

} // namespace

void reset() {
    files.clear();
    listings.clear();
    now = 133000000000000000ull; // late in 2022
}

bool exists(const std::string& path) {
    return find(path.c_str()) != nullptr;
}

} // namespace fakeroom

using namespace fakeroom;

RoomListing roomListFirst(const char* folder, RoomEntry* entry) {
    fake::calls.push_back(std::string("FindFirstFileA ") + folder + "*");
    const std::string self(folder, std::strlen(folder) - 1);
    if (self.size() > 2 && find(self.c_str()) == nullptr) {
        return nullptr; // no such folder
    }
    Listing& listing = listings.emplace_back();
    listing.entries = {{std::string(folder) + ".", 0x10, 0, 0},
                       {std::string(folder) + "..", 0x10, 0, 0}};
    for (const File& file : files) {
        if (compareFolded(folderOf(file.path).c_str(), folder) == 0) {
            listing.entries.push_back(file);
        }
    }
    fill(listing.entries[0], entry);
    listing.next = 1;
    return &listing;
}

bool roomListNext(RoomListing handle, RoomEntry* entry) {
    Listing* listing = static_cast<Listing*>(handle);
    if (listing->next == listing->entries.size()) {
        return false;
    }
    fill(listing->entries[listing->next++], entry);
    return true;
}

void roomListClose(RoomListing) {}

std::uint64_t roomTimeNow() {
    return now;
}

RoomFile roomOpenForDeletion(const char* path, RoomFileInfo* info, std::uint32_t* error) {
    File* file = find(path);
    if (file == nullptr || file->openElsewhere) {
        *error = file == nullptr ? 2 : 32;
        return nullptr;
    }
    *info = {file->attributes, file->links, file->lastWrite};
    return file;
}

std::uint32_t roomDeleteHeld(RoomFile, const char* path) {
    fake::calls.push_back(std::string("DeleteFileA ") + path);
    fake::freeMegabytes += static_cast<std::uint32_t>(find(path)->megabytes);
    files.erase(files.begin() + (find(path) - files.data()));
    return 0;
}

void roomClose(RoomFile) {}

bool roomVolumeOf(const char* path, char* out, std::uint32_t size) {
    if (path[0] == '\0' || path[1] != ':' || std::strchr("CDcd", path[0]) == nullptr) {
        return false;
    }
    std::snprintf(out, size, "%c:\\", path[0] & ~0x20);
    return true;
}
