#pragma once
// A stand-in for making room's file calls: a folder tree in memory. Listings and deletions go
// to fake::calls like the other fakes' calls.
#include <cstdint>
#include <string>
#include <vector>

namespace fakeroom {

constexpr std::uint64_t Minute = 600000000; // 100 ns units

struct File {
    std::string path; // "D:\rec\a.ts"; a folder has the Directory attribute
    std::uint32_t attributes;
    std::uint64_t lastWrite;
    std::uint64_t megabytes;
    bool openElsewhere = false; // another program holds it open
    std::uint32_t links = 1;
};

extern std::vector<File> files;
extern std::uint64_t now;

// Called by fake::reset().
void reset();
// Whether a file of that path is there.
bool exists(const std::string& path);

} // namespace fakeroom
