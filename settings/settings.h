#pragma once
#include <cstdint>

// One field per INI key; see the README's key table.
struct Settings {
    std::int32_t level1;
    std::int32_t level2;
    char ClassName[256];
    char WindowName[256];
    std::int32_t x;
    std::int32_t y;
    std::int32_t frequency;
    std::uint32_t key;
    char DriveLetter[8];
    std::int32_t CloseTarget;
    std::int32_t ShutDownPC;
    std::uint32_t UpdateInterval;
    std::int32_t HideTarget;
};

extern Settings settings;

// The one shared number field. Wide enough for any 32-bit value ("-2147483648",
// "4294967295") and its terminator, so no number is ever cut or overruns it.
constexpr int NumberTextSize = 12;
extern char NumberText[NumberTextSize];

constexpr int IniPathSize = 260;

namespace SettingsFile {
void load();
void save();
void writeNumber(const char* key, std::int32_t value);
const char* path();
} // namespace SettingsFile
