#include "actions/commands.h"

#include "actions/command_platform.h"
#include "core/text_builder.h"
#include "eventlog/event_log.h"
#include "eventlog/metrics_file.h"
#include "settings/number_text.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t InterpreterSize = 260;
constexpr std::uint32_t NumberSize = 12; // "-2147483648" and its zero
constexpr int VariableCount = 7;
static_assert(CommandSize == 512, "the too-long reason names the longest command");

char commandLine[Commands::CommandLineSize];

struct Choice {
    const char* command;
    CommandUnread unread;
    const char* key;
    const char* event;
};

Choice choose(Transition transition) {
    switch (transition) {
    case Transition::Alarm:
        return {settings.OnAlarm, settings.OnAlarmTooLong, "OnAlarm", "alarm"};
    case Transition::LevelTwo:
        return {settings.OnLevel2, settings.OnLevel2TooLong, "OnLevel2", "level2"};
    case Transition::MakeRoom:
        return {settings.OnMakeRoom, settings.OnMakeRoomTooLong, "OnMakeRoom", "make-room"};
    case Transition::Recover:
        break;
    }
    return {settings.OnRecover, settings.OnRecoverTooLong, "OnRecover", "recover"};
}

// The folder the program lives in: the INI path less its file name. A root keeps its
// backslash ("C:\"), since "C:" alone means that drive's current folder.
void programFolder(char* out, std::uint32_t size) {
    TextBuilder folder(out, static_cast<int>(size));
    const char* path = SettingsFile::path();
    int length = folderPrefixLength(path);
    const bool root = length == 1 || (length >= 2 && path[length - 2] == ':');
    if (length > 0 && !root) {
        --length;
    }
    for (int i = 0; i < length; ++i) {
        folder.character(path[i]);
    }
}

void logResult(const Choice& choice, const TransitionFacts& facts, std::uint32_t error,
               const char* reason) {
    const bool failed = reason != nullptr || error != 0;
    if (failed) {
        ++Metrics::tally.commandsFailed;
    }
    if (!EventLog::enabled()) {
        return;
    }
    char detail[64];
    TextBuilder text(detail, sizeof detail);
    text.text(choice.key);
    if (reason != nullptr) {
        text.character(' ').text(reason);
    } else if (error != 0) {
        text.text(" error ").number(error);
    }
    const EventLog::Row row = {failed ? EventLog::Event::CommandFailed : EventLog::Event::Command,
                               true, facts.freeMb, facts.targetPresent, detail};
    EventLog::append(row);
}

void numberText(std::int64_t value, char* out) {
    TextBuilder(out, NumberSize).number(value);
}

struct Variable {
    const char* name;
    const char* value;
};

// Set for one start only: they replace any of the same name (Windows compares names without
// regard to case), and are gone again before anything else starts.
void startWithOurVariables(const Choice& choice, const TransitionFacts& facts, const char* folder,
                           std::uint32_t* error) {
    char freeMb[NumberSize], level1[NumberSize], level2[NumberSize], minutes[NumberSize];
    numberText(facts.freeMb, freeMb);
    numberText(settings.level1, level1);
    numberText(settings.level2, level2);
    minutes[0] = '\0';
    if (facts.forecast.known) {
        numberText(facts.forecast.minutes, minutes);
    }
    const Variable variables[VariableCount] = {
        {"ZEMBROVALE_EVENT", choice.event},
        {"ZEMBROVALE_FREE_MB", freeMb},
        {"ZEMBROVALE_LEVEL1", level1},
        {"ZEMBROVALE_LEVEL2", level2},
        {"ZEMBROVALE_DRIVE", settings.DriveLetter},
        {"ZEMBROVALE_TARGET", facts.targetPresent ? "present" : "absent"},
        {"ZEMBROVALE_MINUTES_LEFT", minutes},
    };
    for (const Variable& variable : variables) {
        setOwnVariable(variable.name, variable.value);
    }
    *error = startDetached(commandLine, folder);
    for (const Variable& variable : variables) {
        setOwnVariable(variable.name, nullptr);
    }
}

} // namespace

namespace Commands {

bool run(Transition transition, const TransitionFacts& facts) {
    const Choice choice = choose(transition);
    if (choice.unread != 0) {
        // Run cut short, the line could be another command altogether.
        logResult(choice, facts, 0,
                  choice.unread == CommandTooLong ? "too long (over 511 characters)"
                                                  : "past 32 KB of [Options]");
        return false;
    }
    if (choice.command[0] == '\0') {
        return false;
    }
    char interpreter[InterpreterSize];
    commandInterpreter(interpreter, sizeof interpreter);
    if (interpreter[0] == '\0') {
        TextBuilder(interpreter, sizeof interpreter).text("cmd.exe");
    }
    if (!buildCommandLine(interpreter, choice.command, commandLine, sizeof commandLine)) {
        logResult(choice, facts, 0, "too long");
        return false;
    }
    char folder[IniPathSize];
    programFolder(folder, sizeof folder);
    std::uint32_t error = 0;
    startWithOurVariables(choice, facts, folder[0] != '\0' ? folder : nullptr, &error);
    logResult(choice, facts, error, nullptr);
    return error == 0;
}

bool buildCommandLine(const char* interpreter, const char* command, char* out, std::uint32_t size) {
    TextBuilder line(out, static_cast<int>(size));
    line.character('"').text(interpreter).text("\" /c \"").text(command).character('"');
    return size > 0 && !line.cut();
}

} // namespace Commands
