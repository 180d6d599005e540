#include "monitor/room_making.h"

#include "actions/make_room.h"
#include "core/text_builder.h"
#include "eventlog/metrics_file.h"
#include "monitor/alarm_cycle.h"
#include "monitor/watch_log.h"
#include "settings/settings.h"

namespace {

using MakeRoom::Candidate;
using MakeRoom::Removal;

constexpr int Batch = 16;
// A scan finds the Batch oldest; one that found only files that stay is followed by another.
constexpr int MostScans = 3;
constexpr int MostSaid = 32;
constexpr std::int64_t Megabyte = 1048576;
constexpr std::int64_t DefaultMargin = 1024; // MakeRoomTo's default above level 1

Candidate batch[Batch];

// What the current alarm has said already, so that each check of a long alarm does not say it
// again: the files that stayed, the shortage, the rehearsal's list.
struct Said {
    std::uint32_t stayed[MostSaid];
    int stayedCount;
    bool shortage;
    bool rehearsal;
};
Said said;

// One check's making room.
struct Round {
    WindowHandle mainWindow;
    TimerId monitorTimer;
    bool rehearse;
    FreeMegabytes free;
    std::int64_t countedBytes; // a rehearsal's files, as if they had gone
    std::int64_t goneBytes;
    int gone;
    // Every candidate handled in this check, which a later scan leaves out.
    std::uint32_t handled[Batch * MostScans];
    int handledCount;
};
Round round;

std::int64_t targetMb() {
    return settings.MakeRoomTo > settings.level1
               ? settings.MakeRoomTo
               : static_cast<std::int64_t>(settings.level1) + DefaultMargin;
}

// Free megabytes as this check counts them: a rehearsal adds what would have gone.
std::int64_t countedMb() {
    return round.free.megabytes + round.countedBytes / Megabyte;
}

bool reached() {
    return countedMb() >= targetMb() || round.gone >= RoomMaking::MostFiles;
}

// One make-room line: "<what><path> <megabytes> MB<reason>", less the parts not given.
void say(const char* what, const char* path, std::int64_t megabytes, const char* reason = "") {
    char detail[RoomPathSize + 48];
    TextBuilder text(detail, sizeof detail);
    text.text(what).text(path);
    if (megabytes >= 0) {
        text.character(' ').number(megabytes).text(" MB");
    }
    text.text(reason);
    logEvent(EventLog::Event::MakeRoom, detail);
}

void sayStayed(const Candidate& candidate, Removal removal, std::uint32_t error) {
    const std::uint32_t key = MakeRoom::pathKey(candidate.path);
    for (int i = 0; i < said.stayedCount; ++i) {
        if (said.stayed[i] == key) {
            return;
        }
    }
    if (said.stayedCount < MostSaid) {
        said.stayed[said.stayedCount++] = key;
    }
    char reason[24];
    const char* known = MakeRoom::describeFailure(removal, error);
    if (known == nullptr) {
        TextBuilder(reason, sizeof reason).text(" error ").number(error);
    }
    say("skipped ", candidate.path, -1, known != nullptr ? known : reason);
}

// False when the measurement after a deletion failed: the check ends there.
bool handle(const Candidate& candidate) {
    round.handled[round.handledCount++] = MakeRoom::pathKey(candidate.path);
    std::uint32_t error = 0;
    const Removal removal = MakeRoom::remove(candidate, round.rehearse, &error);
    switch (removal) {
    case Removal::Deleted:
        ++round.gone;
        round.goneBytes += static_cast<std::int64_t>(candidate.size);
        round.free = FreeSpaceProbe(round.mainWindow, round.monitorTimer);
        if (!round.free.valid) {
            return false;
        }
        lastTick.facts.freeMb = round.free.megabytes;
        ++Metrics::tally.roomFiles;
        Metrics::tally.roomBytes += candidate.size;
        say("deleted ", candidate.path, static_cast<std::int64_t>(candidate.size / Megabyte));
        break;
    case Removal::Rehearsed:
        ++round.gone;
        round.countedBytes += static_cast<std::int64_t>(candidate.size);
        say("would delete ", candidate.path, static_cast<std::int64_t>(candidate.size / Megabyte));
        break;
    case Removal::Changed:
        break;
    case Removal::InUse:
    case Removal::Failed:
        sayStayed(candidate, removal, error);
        break;
    }
    return true;
}

// Candidates ran out below MakeRoomTo: said once an alarm, or again in a check that did go on.
void sayShortage() {
    if (said.shortage && round.gone == 0) {
        return;
    }
    said.shortage = true;
    say("short by", "", targetMb() - countedMb());
}

} // namespace

namespace RoomMaking {

void configure() {
    const char* reason = MakeRoom::configure();
    if (reason == nullptr) {
        return;
    }
    char detail[RoomPathSize + 64];
    TextBuilder text(detail, sizeof detail);
    text.text(reason);
    if (settings.MakeRoom[0] != '\0') {
        text.text(": ").text(settings.MakeRoom);
    }
    logEvent(EventLog::Event::MakeRoomRefused, detail);
}

FreeMegabytes run(WindowHandle mainWindow, TimerId monitorTimer, FreeMegabytes free) {
    const bool rehearse = settings.DryRun != 0;
    // A rehearsal deletes nothing, so its list would be the same at every check.
    if (rehearse && said.rehearsal) {
        return free;
    }
    round = Round{mainWindow, monitorTimer, rehearse, free, 0, 0, 0, {}, 0};
    bool exhausted = false; // every candidate there is was handled
    for (int scan = 0; scan < MostScans && !reached() && !exhausted; ++scan) {
        const int found = MakeRoom::findOldest(batch, Batch, round.handled, round.handledCount);
        int i = 0;
        for (; i < found && !reached(); ++i) {
            if (!handle(batch[i])) {
                return round.free;
            }
        }
        exhausted = found < Batch && i == found;
    }
    said.rehearsal = rehearse;
    if (exhausted && countedMb() < targetMb()) {
        sayShortage();
    }
    if (round.gone > 0 && !rehearse) {
        lastTick.events |= History::bit(History::Room);
        lastTick.facts.roomFiles = static_cast<std::uint32_t>(round.gone);
        lastTick.facts.roomMb = static_cast<std::uint32_t>(round.goneBytes / Megabyte);
    }
    return round.free;
}

void endExcursion() {
    said = Said{};
}

} // namespace RoomMaking
