#pragma once
// A recording stand-in for the settings, monitor and actions platform calls. Every call
// is appended to `fake::calls` as a short line, so a test can compare whole sequences.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake {

struct Window {
    std::string className;
    std::string title;
    std::uint32_t exStyle = 0;
    bool enabled = true;
    int alpha = -1; // -1: never set
};

extern std::vector<std::string> calls;

// Drive: each measurement takes the next scripted value, or `freeMegabytes` when the
// script is empty. `driveFails` makes every measurement fail.
extern std::uint32_t freeMegabytes;
extern std::deque<std::uint32_t> freeScript;
extern bool driveFails;
// Raw cluster geometry, when a test wants to drive the arithmetic itself.
extern bool useGeometry;
extern std::uint32_t sectorsPerCluster, bytesPerSector, freeClusters;

// Desktop windows, found case-insensitively like the platform does.
extern std::vector<Window> windows;
// Called between two platform calls of the code under test, by call number; lets a
// test open or close a window in the middle of a tick.
extern std::map<std::size_t, void (*)()> onCall;

// INI file: raw text per key as it stands in the file (keys compared case-insensitively).
extern bool iniExists;
extern std::map<std::string, std::string> ini;
extern std::vector<std::string> writtenKeys;
extern std::string modulePath;
extern std::string lastIniPath;

// Whether the target answers a message within the wait it is given (one that does not keeps
// the program waiting for all of it), whether Windows counts it as hung, why Windows refuses
// to send it messages (0: it does not), and whether the answer to an unanswered close has
// come by now.
extern bool targetAnswers;
extern bool targetHung;
extern std::uint32_t sendRefused;
extern bool closeAnswerCame;
// Runs while a close waits for its answer, as the messages the program handles meanwhile do.
extern std::function<void()> whileClosing;

// Menu item texts by command id.
extern std::map<std::uint32_t, std::string> menuText;

// Shutdown.
extern bool tokenOpens;
extern std::uint32_t lastError;
extern bool shutdownAccepted;
extern int openTokens;

// The monotonic clock; tests move it on by hand.
extern std::uint64_t clockMs;

// Calls that begin with `prefix`.
long countCalls(const std::vector<std::string>& calls, const std::string& prefix);
// What one shutdown request that gets through records, in order.
extern const std::vector<std::string> shutdownCalls;

void reset();
Window* windowOf(void* handle);
void* handleOf(std::size_t index);
std::string iniValue(const std::string& key);

} // namespace fake
