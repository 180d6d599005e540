#include <windows.h>

#include "settings/profile_io.h"

namespace {
constexpr const char* Section = "Options";
}

std::int32_t profileReadInt(const char* key, std::int32_t fallback, const char* iniPath) {
    return static_cast<std::int32_t>(GetPrivateProfileIntA(Section, key, fallback, iniPath));
}

void profileReadText(const char* key, const char* fallback, char* out, std::uint32_t size,
                     const char* iniPath) {
    GetPrivateProfileStringA(Section, key, fallback, out, size, iniPath);
}

std::uint32_t profileReadSection(char* out, std::uint32_t size, const char* iniPath) {
    return GetPrivateProfileSectionA(Section, out, size, iniPath);
}

void profileWriteText(const char* key, const char* text, const char* iniPath) {
    WritePrivateProfileStringA(Section, key, text, iniPath);
}

void moduleFilePath(char* out, std::uint32_t size) {
    GetModuleFileNameA(nullptr, out, size);
}
