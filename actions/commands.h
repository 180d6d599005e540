#pragma once
#include <cstdint>

#include "core/transition.h"

// The user's commands for the three transitions (OnAlarm, OnLevel2, OnRecover), started
// through the command interpreter without a console, never waited for. What they learn
// comes in ZEMBROVALE_* environment variables, never in their command line.
namespace Commands {

constexpr std::uint32_t CommandLineSize = 1024;
constexpr std::uint32_t EnvironmentSize = 65536;

// Starts the command set for `transition`, if any, and logs `command` or `command-failed`.
// True when one was started.
bool run(Transition transition, const TransitionFacts& facts);

struct Variable {
    const char* name;
    const char* value;
};

// An environment block in `out`: the variables given, then every inherited one whose name
// is none of theirs (compared without regard to letter case) and that still fits. Returns
// the block's length including its final zero, or 0 when not even the given ones fit.
std::uint32_t buildEnvironment(const char* inherited, const Variable* variables, int count,
                               char* out, std::uint32_t size);

// `"<interpreter>" /c "<command>"`: the interpreter strips the outer quotes again, so the
// command runs exactly as typed. False when it does not fit.
bool buildCommandLine(const char* interpreter, const char* command, char* out, std::uint32_t size);

} // namespace Commands
