#pragma once
// A recording stand-in for the commands' platform calls: every call goes to fake::calls
// ("GetEnvironmentStringsA", "CreateProcessA <command line> in <folder>", ...).
#include <cstdint>
#include <string>
#include <vector>

namespace fakecommand {

// The program's own environment, one "NAME=value" per entry.
extern std::vector<std::string> inherited;
extern std::string comspec; // empty: unset
extern std::uint32_t startResult;
// The block handed to the last startDetached: its entries, and its length including the
// final zero (0 when it had no double zero within Commands::EnvironmentSize).
extern std::vector<std::string> environment;
extern std::uint32_t environmentLength;

void reset();

} // namespace fakecommand
