#include "actions/commands.h"

#include <cstring>

#include "actions/command_platform.h"
#include "core/names.h"
#include "core/text_builder.h"
#include "eventlog/event_log.h"
#include "settings/number_text.h"
#include "settings/settings.h"

namespace {

constexpr std::uint32_t InterpreterSize = 260;
constexpr std::uint32_t NumberSize = 12; // "-2147483648" and its zero
constexpr int VariableCount = 7;
static_assert(CommandSize == 512, "the too-long reason names the longest command");

// Static: the block is far too big for the stack of a window procedure.
char environmentBlock[Commands::EnvironmentSize];
char commandLine[Commands::CommandLineSize];

struct Choice {
    const char* command;
    bool tooLong;
    const char* key;
    const char* event;
};

Choice choose(Transition transition) {
    switch (transition) {
    case Transition::Alarm:
        return {settings.OnAlarm, settings.OnAlarmTooLong, "OnAlarm", "alarm"};
    case Transition::LevelTwo:
        return {settings.OnLevel2, settings.OnLevel2TooLong, "OnLevel2", "level2"};
    case Transition::Recover:
        break;
    }
    return {settings.OnRecover, settings.OnRecoverTooLong, "OnRecover", "recover"};
}

std::uint32_t nameLength(const char* entry) {
    std::uint32_t length = 0;
    while (entry[length] != '\0' && entry[length] != '=') {
        ++length;
    }
    return length;
}

bool isOurs(const char* entry, const Commands::Variable* variables, int count) {
    const std::uint32_t length = nameLength(entry);
    for (int i = 0; i < count; ++i) {
        if (sameNameIgnoringCase(entry, length, variables[i].name)) {
            return true;
        }
    }
    return false;
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
    const bool failed = reason != nullptr || error != 0;
    const EventLog::Row row = {failed ? "command-failed" : "command", true, facts.freeMb,
                               facts.targetPresent, detail};
    EventLog::append(row);
}

void numberText(std::int64_t value, char* out) {
    TextBuilder(out, NumberSize).number(value);
}

std::uint32_t buildOurEnvironment(const Choice& choice, const TransitionFacts& facts) {
    char freeMb[NumberSize], level1[NumberSize], level2[NumberSize], minutes[NumberSize];
    numberText(facts.freeMb, freeMb);
    numberText(settings.level1, level1);
    numberText(settings.level2, level2);
    minutes[0] = '\0';
    if (facts.forecast.known) {
        numberText(facts.forecast.minutes, minutes);
    }
    const Commands::Variable variables[VariableCount] = {
        {"ZEMBROVALE_EVENT", choice.event},
        {"ZEMBROVALE_FREE_MB", freeMb},
        {"ZEMBROVALE_LEVEL1", level1},
        {"ZEMBROVALE_LEVEL2", level2},
        {"ZEMBROVALE_DRIVE", settings.DriveLetter},
        {"ZEMBROVALE_TARGET", facts.targetPresent ? "present" : "absent"},
        {"ZEMBROVALE_MINUTES_LEFT", minutes},
    };
    const char* inherited = inheritedEnvironment();
    const std::uint32_t length = Commands::buildEnvironment(
        inherited, variables, VariableCount, environmentBlock, sizeof environmentBlock);
    releaseInheritedEnvironment(inherited);
    return length;
}

} // namespace

namespace Commands {

bool run(Transition transition, const TransitionFacts& facts) {
    const Choice choice = choose(transition);
    if (choice.tooLong) {
        // Run cut short, the line could be another command altogether.
        logResult(choice, facts, 0, "too long (over 511 characters)");
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
    if (buildOurEnvironment(choice, facts) == 0) {
        logResult(choice, facts, 0, "environment too long");
        return false;
    }
    char folder[IniPathSize];
    programFolder(folder, sizeof folder);
    const std::uint32_t error =
        startDetached(commandLine, environmentBlock, folder[0] != '\0' ? folder : nullptr);
    logResult(choice, facts, error, nullptr);
    return error == 0;
}

std::uint32_t buildEnvironment(const char* inherited, const Variable* variables, int count,
                               char* out, std::uint32_t size) {
    std::uint32_t used = 0;
    // Every entry is copied only when its zero and the block's final one still fit.
    auto append = [&](const char* text, std::uint32_t length) {
        for (std::uint32_t i = 0; i < length; ++i) {
            out[used++] = text[i];
        }
    };
    for (int i = 0; i < count; ++i) {
        const std::uint32_t name = static_cast<std::uint32_t>(std::strlen(variables[i].name));
        const std::uint32_t value = static_cast<std::uint32_t>(std::strlen(variables[i].value));
        if (name + 1 + value + 2 > size - used) {
            return 0;
        }
        append(variables[i].name, name);
        append("=", 1);
        append(variables[i].value, value + 1);
    }
    for (const char* entry = inherited; entry != nullptr && *entry != '\0';) {
        const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(entry));
        if (!isOurs(entry, variables, count) && length + 2 <= size - used) {
            append(entry, length + 1);
        }
        entry += length + 1;
    }
    if (used == 0) {
        if (size < 2) {
            return 0;
        }
        out[used++] = '\0'; // an empty block is still two zeros
    }
    out[used++] = '\0';
    return used;
}

bool buildCommandLine(const char* interpreter, const char* command, char* out, std::uint32_t size) {
    TextBuilder line(out, static_cast<int>(size));
    line.character('"').text(interpreter).text("\" /c \"").text(command).character('"');
    return size > 0 && !line.cut();
}

} // namespace Commands
