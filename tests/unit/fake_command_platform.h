#pragma once
// A recording stand-in for the commands' platform calls: every call goes to fake::calls
// ("SetEnvironmentVariableA NAME=value", "CreateProcessA <command line> in <folder>", ...).
#include <cstdint>
#include <string>
#include <vector>

namespace fakecommand {

// The program's own environment, one "NAME=value" per entry; names compare as Windows
// compares them, without regard to letter case.
extern std::vector<std::string> own;
extern std::string comspec; // empty: unset
extern std::uint32_t startResult;
// The environment the last command started with: `own` at that moment.
extern std::vector<std::string> environment;

void reset();

} // namespace fakecommand
