#include <windows.h>

#include "actions/room_platform.h"
#include "core/text_builder.h"

static_assert(RoomPathSize == MAX_PATH, "the file functions' path size");

namespace {

std::uint64_t joined(DWORD high, DWORD low) {
    return static_cast<std::uint64_t>(high) << 32 | low;
}

void takeEntry(const WIN32_FIND_DATAA& found, RoomEntry* entry) {
    TextBuilder(entry->name, sizeof entry->name).text(found.cFileName);
    entry->attributes = found.dwFileAttributes;
    entry->lastWrite =
        joined(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
    entry->size = joined(found.nFileSizeHigh, found.nFileSizeLow);
}

} // namespace

RoomListing roomListFirst(const char* folder, RoomEntry* entry) {
    char all[MAX_PATH + 2];
    TextBuilder(all, sizeof all).text(folder).character('*');
    WIN32_FIND_DATAA found;
    const HANDLE listing = FindFirstFileA(all, &found);
    if (listing == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    takeEntry(found, entry);
    return listing;
}

bool roomListNext(RoomListing listing, RoomEntry* entry) {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(static_cast<HANDLE>(listing), &found)) {
        return false;
    }
    takeEntry(found, entry);
    return true;
}

void roomListClose(RoomListing listing) {
    FindClose(static_cast<HANDLE>(listing));
}

std::uint64_t roomTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return joined(now.dwHighDateTime, now.dwLowDateTime);
}

// Shared for deletion only: the open fails with a sharing violation while another program
// reads or writes the file, whatever it shares itself. A link is opened as the link.
RoomFile roomOpenForDeletion(const char* path, RoomFileInfo* info, std::uint32_t* error) {
    const HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION held;
    if (!GetFileInformationByHandle(file, &held)) {
        *error = GetLastError();
        CloseHandle(file);
        return nullptr;
    }
    info->attributes = held.dwFileAttributes;
    info->links = held.nNumberOfLinks;
    info->lastWrite =
        joined(held.ftLastWriteTime.dwHighDateTime, held.ftLastWriteTime.dwLowDateTime);
    return file;
}

// The Windows the program supports has no way to delete through the handle itself; DeleteFileA
// shares deletion with it, and nobody else can open the file meanwhile.
std::uint32_t roomDeleteHeld(RoomFile, const char* path) {
    return DeleteFileA(path) ? 0 : GetLastError();
}

void roomClose(RoomFile file) {
    CloseHandle(static_cast<HANDLE>(file));
}

bool roomVolumeOf(const char* path, char* out, std::uint32_t size) {
    return GetVolumePathNameA(path, out, size) != FALSE;
}
