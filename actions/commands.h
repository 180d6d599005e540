#pragma once
#include <cstdint>

#include "core/transition.h"

// The user's commands for the three transitions (OnAlarm, OnLevel2, OnRecover), started
// through the command interpreter without a console, never waited for. What they learn
// comes in ZEMBROVALE_* environment variables, never in their command line: the program's
// own environment, with those set just for the start.
namespace Commands {

constexpr std::uint32_t CommandLineSize = 1024;

// Starts the command set for `transition`, if any, and logs `command` or `command-failed`.
// True when one was started.
bool run(Transition transition, const TransitionFacts& facts);

// `"<interpreter>" /c "<command>"`: the interpreter strips the outer quotes again, so the
// command runs exactly as typed. False when it does not fit.
bool buildCommandLine(const char* interpreter, const char* command, char* out, std::uint32_t size);

} // namespace Commands
