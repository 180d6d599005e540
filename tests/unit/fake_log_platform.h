#pragma once
// A recording stand-in for the event log's file calls: files live in memory, by path, and
// every call goes to fake::calls like the other fakes'.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "eventlog/event_log.h"

namespace fakelog {

extern std::map<std::string, std::string> files;
extern bool openFails;
extern EventLog::LocalTime now;

// The Application log: "type id text" of each report; why the source cannot be had (0: it
// can). The metrics file is kept in `files` too; `replaceFails` keeps the old one.
extern std::vector<std::string> reports;
extern std::uint32_t sourceError;
extern bool replaceFails;

// Called by fake::reset().
void reset();
// The lines of a file, without their CR LF.
std::vector<std::string> lines(const std::string& path);

} // namespace fakelog
