#pragma once
#include <cstdint>

// Making room's platform calls. room_platform_win.cpp supplies them on Windows; host tests
// supply an in-memory folder tree.

constexpr int RoomPathSize = 260; // what the file functions of the "A" API take

// One entry of a folder as its listing shows it. Times are in 100 ns units since 1601, as
// Windows keeps them.
struct RoomEntry {
    char name[RoomPathSize];
    std::uint32_t attributes;
    std::uint64_t lastWrite;
    std::uint64_t size;
};

using RoomListing = void*;
// The first entry of `folder` (ending in a backslash); null when it cannot be listed.
RoomListing roomListFirst(const char* folder, RoomEntry* entry);
// The next entry; false after the last.
bool roomListNext(RoomListing listing, RoomEntry* entry);
void roomListClose(RoomListing listing);

std::uint64_t roomTimeNow();

// A file as the handle that holds it open sees it.
struct RoomFileInfo {
    std::uint32_t attributes;
    std::uint32_t links; // the names it has: deleting one of several frees nothing
    std::uint64_t lastWrite;
};

using RoomFile = void*;
// Opened for deletion and shared for nothing else, without following a link: this fails while
// any other program has the file open to read or write it. Null and `*error` when it fails.
RoomFile roomOpenForDeletion(const char* path, RoomFileInfo* info, std::uint32_t* error);
// Deletes `path`, held open by `file`: it goes once the file is closed. 0 or the error.
std::uint32_t roomDeleteHeld(RoomFile file, const char* path);
void roomClose(RoomFile file);

// The root of the volume that holds `path` ("D:\"), existing or not; false when none does.
bool roomVolumeOf(const char* path, char* out, std::uint32_t size);
