#include "ui/picker_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Reading {
    const char* windowText;
    const char* classText;
    bool shown;
};

TEST(PickerFilter, HidesOnlyExactOwnCaptionEditsAndMenus) {
    const Reading cases[] = {
        {"Untitled - Notepad", "Notepad", true},
        {"", "Shell_TrayWnd", true}, // untitled windows show their class
        {"", "", true},
        // The picker's own caption, by title only.
        {"WinSpy", "#32770", false},
        {"WinSpy", "SomeOtherClass", false}, // another program's "WinSpy" too
        {"WinSpyX", "#32770", true},
        {"WinSpy ", "#32770", true},
        {" WinSpy", "#32770", true},
        {"winspy", "#32770", true},
        {"Win-Spy", "#32770", true},
        {"Options", "WinSpy", true}, // the class is not compared with the caption
        // Edit controls, by class only, exact letter case.
        {"some text", "Edit", false},
        {"", "Edit", false},
        {"some text", "edit", true},
        {"some text", "EDIT", true},
        {"some text", "RichEdit", true},
        {"some text", "Edit2", true},
        {"Edit", "Static", true}, // the title is not compared with "Edit"
        // Popup menus.
        {"", "#32768", false},
        {"", "#32769", true},
        {"", "#327680", true},
        {"#32768", "Button", true},
    };
    for (const Reading& r : cases) {
        EXPECT_EQ(PickerFilter::shows(r.windowText, r.classText), r.shown)
            << "title \"" << r.windowText << "\" class \"" << r.classText << "\"";
    }
}

TEST(PickerFilter, ReadingsAreCutTo44Characters) {
    EXPECT_EQ(PickerFilter::ReadSize - 1, 44);
    // A long title that merely begins with the caption is a different window.
    const std::string longTitle = "WinSpy" + std::string(38, '-'); // 44 characters as read
    EXPECT_TRUE(PickerFilter::shows(longTitle.c_str(), "#32770"));
}

} // namespace
