#pragma once

// What the window picker reads under the pointer and which readings it keeps off its
// fields, so the user can move the pointer into the picker to copy what it shows.
namespace PickerFilter {

constexpr int TextFieldSize = 4096;
// The platform is given this size: 44 characters and a terminator per reading.
constexpr int ReadSize = 45;

// False for the picker's own caption ("WinSpy"), edit controls ("Edit", the picker's
// fields among them) and popup menus ("#32768"). The names are compared exactly, letter
// case and punctuation included, so "WinSpyX" or "EDIT" is shown.
bool shows(const char* windowText, const char* classText);

} // namespace PickerFilter
