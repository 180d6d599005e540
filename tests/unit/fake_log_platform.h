#pragma once
// A recording stand-in for the event log's file calls: files live in memory, by path, and
// every call goes to fake::calls like the other fakes'.
#include <map>
#include <string>
#include <vector>

#include "eventlog/event_log.h"

namespace fakelog {

extern std::map<std::string, std::string> files;
extern bool openFails;
extern EventLog::LocalTime now;

// Called by fake::reset().
void reset();
// The lines of a file, without their CR LF.
std::vector<std::string> lines(const std::string& path);

} // namespace fakelog
