// Feeds arbitrary bytes to the logic that turns outside text and numbers into fixed
// fields: INI values, the key text, number and level formatting, and the event log's lines
// and the commands' lines built around outside text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actions/commands.h"
#include "eventlog/event_log.h"
#include "settings/number_text.h"
#include "settings/opt_in_keys.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"
#include "tuner/tuner_meter.h"
#include "ui/key_text.h"

namespace {

// The keys `save` writes; the opt-in ones follow from their table.
const char* const Keys[] = {"level1",      "level2",      "ClassName",  "WindowName",
                            "x",           "y",           "frequency",  "key",
                            "DriveLetter", "CloseTarget", "ShutDownPC", "UpdateInterval",
                            "HideTarget"};

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <std::size_t N> void requireTerminated(const char (&field)[N]) {
    require(std::memchr(field, '\0', N) != nullptr);
}

std::int64_t readInt64(const std::uint8_t* data, std::size_t size) {
    std::int64_t value = 0;
    std::memcpy(&value, data, size < sizeof value ? size : sizeof value);
    return value;
}

void fuzzIniValues(const std::uint8_t* data, std::size_t size) {
    fake::reset();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    const auto take = [&](const char* key) {
        const std::size_t end = text.find('\n', start);
        fake::ini[key] = text.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
    };
    for (const char* key : Keys) {
        take(key);
    }
    for (int i = 0; i < OptIn::KeyCount; ++i) {
        take(OptIn::keyName(i));
    }
    SettingsFile::load();
    requireTerminated(settings.ClassName);
    requireTerminated(settings.WindowName);
    requireTerminated(settings.DriveLetter);
    requireTerminated(settings.LogFile);
    requireTerminated(settings.OnAlarm);
    requireTerminated(settings.OnLevel2);
    requireTerminated(settings.OnRecover);
    require(settings.UpdateInterval != 0);
    require(settings.ShutdownDelay >= 0 && settings.ShutdownDelay <= OptIn::MostSeconds);
    SettingsFile::save();
    requireTerminated(NumberText);
}

void fuzzKeyText(const std::uint8_t* data, std::size_t size) {
    const auto key = static_cast<std::uint32_t>(readInt64(data, size));
    char shown[KeyText::ShownSize];
    KeyText::show(key, shown);
    requireTerminated(shown);
    char typed[KeyText::ReadSize] = {};
    if (size > 4) {
        std::memcpy(typed, data + 4, size - 4 < 2 ? size - 4 : 2);
    }
    const std::uint32_t stored = KeyText::store(key, typed);
    // Only the bytes up to and including the written zero may change.
    const std::size_t written = std::strlen(typed) + 1;
    if (written < 4) {
        const std::uint32_t kept = ~0u << (8 * written);
        require((stored & kept) == (key & kept));
    }
}

void fuzzFormatting(const std::uint8_t* data, std::size_t size) {
    const std::int64_t value = readInt64(data, size);
    const int width = size > 8 ? data[8] % 24 : 8;
    const int bufferSize = size > 9 ? data[9] % 16 : NumberTextSize;
    char out[16];
    std::memset(out, '#', sizeof out);
    const int length = formatPadded(out, bufferSize, value, width);
    if (bufferSize > 0) {
        require(length < bufferSize && out[length] == '\0');
    }
    for (int i = bufferSize; i < static_cast<int>(sizeof out); ++i) {
        require(out[i] == '#');
    }
    formatNumber(static_cast<std::int32_t>(value));
    requireTerminated(NumberText);
    formatCount(static_cast<std::uint32_t>(value));
    requireTerminated(NumberText);
    char level[LevelTextSize + 1];
    level[LevelTextSize] = '#';
    formatLevelText(static_cast<std::int32_t>(value), level);
    require(level[LevelTextSize] == '#' && std::strlen(level) <= 3);
}

// A log line and a command line around arbitrary text, in buffers with guard bytes.
void fuzzOutsideText(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string detail = text.substr(0, text.find('\0'));
    char line[EventLog::LineSize + 1];
    line[EventLog::LineSize] = '#';
    const EventLog::Row row = {EventLog::Event::Alarm, true, 1, false, detail.c_str()};
    const std::uint32_t length = EventLog::formatLine({}, row, -1, 2, line, EventLog::LineSize);
    require(line[EventLog::LineSize] == '#' && (length == 0 || line[length] == '\0'));

    // The command line around a command as typed.
    char commandLine[Commands::CommandLineSize + 1];
    commandLine[Commands::CommandLineSize] = '#';
    const bool fits = Commands::buildCommandLine("cmd.exe", detail.c_str(), commandLine,
                                                 Commands::CommandLineSize);
    require(commandLine[Commands::CommandLineSize] == '#');
    require(!fits || std::strlen(commandLine) == detail.size() + 15); // "cmd.exe" /c "..."
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    switch (data[0] % 4) {
    case 0:
        fuzzIniValues(data + 1, size - 1);
        break;
    case 1:
        fuzzKeyText(data + 1, size - 1);
        break;
    case 2:
        fuzzOutsideText(data + 1, size - 1);
        break;
    default:
        fuzzFormatting(data + 1, size - 1);
        break;
    }
    return 0;
}
