#include "ui/picker_filter.h"

namespace {

// Byte for byte, so the result does not depend on the user's locale.
bool same(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

} // namespace

namespace PickerFilter {

bool shows(const char* windowText, const char* classText) {
    return !same(windowText, "WinSpy") && !same(classText, "Edit") && !same(classText, "#32768");
}

} // namespace PickerFilter
