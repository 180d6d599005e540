#pragma once
#include <cstdint>

#include "actions/room_platform.h"

// Making room: the files that MakeRoom names, which may be deleted when free space runs low,
// oldest first, and their deletion. Only files the user named go, and never one that is
// young, open in another program, read-only, hidden or system, reached through a link, or the
// program's own. Nothing here runs while MakeRoom is unset.
namespace MakeRoom {

constexpr int MostEntries = 100000; // visited in one scan
constexpr int MostDepth = 32;       // folders within folders; deeper ones are not entered

// Checks MakeRoom and the watched drive, at start and after each reload of the settings. The
// reason it was refused (its value is then off), or null.
const char* configure();
// True while MakeRoom is set and was not refused.
bool on();

struct Candidate {
    char path[RoomPathSize];
    std::uint64_t lastWrite;
    std::uint64_t size;
};

// Identifies a path without regard to letter case, as Windows names files.
std::uint32_t pathKey(const char* path);

// The oldest candidates, at most `most`, oldest first (ties: by path, letter case aside),
// leaving out the paths whose key is among `skip`. The count found.
int findOldest(Candidate* out, int most, const std::uint32_t* skip, int skipCount);

enum class Removal {
    Deleted,
    Rehearsed, // would have been deleted; nothing was
    Changed,   // no longer a candidate: written meanwhile, or marked to be kept
    InUse,     // another program has it open
    Failed,    // gone meanwhile, access denied, or anything else: see the error
};
// Deletes a candidate, or with `rehearse` only checks that it could be.
Removal remove(const Candidate& candidate, bool rehearse, std::uint32_t* error);

// " in use", " gone", " access denied": why a candidate stayed; null for any other error.
const char* describeFailure(Removal removal, std::uint32_t error);

} // namespace MakeRoom

// "*" stands for any characters, "?" for one; letters match in either case.
bool matchesPattern(const char* name, const char* pattern);
