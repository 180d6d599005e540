#include "ui/picker_filter.h"

#include <cstring>

namespace {

// strcmp compares bytes, so the result does not depend on the user's locale.
bool same(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

} // namespace

namespace PickerFilter {

bool shows(const char* windowText, const char* classText) {
    return !same(windowText, "WinSpy") && !same(classText, "Edit") && !same(classText, "#32768");
}

} // namespace PickerFilter
