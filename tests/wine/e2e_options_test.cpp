// The Options dialog of the running program: what it shows from the file, what each way
// of leaving it writes, and how the program follows the saved settings.
#include <gtest/gtest.h>

#include "e2e_dialog_support.h"
#include "resources/resource.h"

namespace {

using e2e::checked;
using e2e::enabled;
using e2e::text;

class OptionsDialogE2E : public ::testing::Test {
  protected:
    HWND openWith(const e2e::IniKeys& changes) {
        if (product.start(e2e::withKeys(e2e::baseIni(), changes)) == nullptr) {
            ADD_FAILURE() << "the program did not start";
            return nullptr;
        }
        const HWND dialog = product.openOptions();
        EXPECT_NE(dialog, nullptr) << "the Options dialog did not open";
        return dialog;
    }

    void saveAndWait(HWND dialog) {
        e2e::click(dialog, IDC_OPT_SAVE);
        ASSERT_TRUE(e2e::closed(dialog)) << "Save && Close left the dialog open";
    }

    e2e::ProductRun product;
};

TEST_F(OptionsDialogE2E, ShowsTheFileAsEditedByHandAndCancelWritesNothing) {
    ASSERT_NE(product.start(e2e::baseIni()), nullptr);
    // Edited after the program read it: the dialog must show the file, not memory.
    ASSERT_TRUE(zvtest::writeIni(product.iniPath(),
                                 e2e::withKeys(e2e::baseIni(), {{"level1", "-1"},
                                                                {"level2", "00000777"},
                                                                {"ClassName", "EditedClass"},
                                                                {"WindowName", "Edited title"},
                                                                {"frequency", "00000800"},
                                                                {"key", "00000082"},
                                                                {"DriveLetter", "D:\\"},
                                                                {"CloseTarget", "5"},
                                                                {"UpdateInterval", "2500"}})));
    const std::string before = product.iniText();

    HWND dialog = product.openOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, IDC_OPT_INTERVAL), "2500");
    EXPECT_EQ(text(dialog, IDC_OPT_DRIVE), "D:\\");
    EXPECT_EQ(text(dialog, IDC_OPT_LEVEL1), "4294967295"); // shown unsigned
    EXPECT_EQ(text(dialog, IDC_OPT_LEVEL2), "777");
    EXPECT_EQ(text(dialog, IDC_OPT_WINDOWNAME), "Edited title");
    EXPECT_EQ(text(dialog, IDC_OPT_CLASSNAME), "EditedClass");
    EXPECT_TRUE(checked(dialog, IDC_OPT_CLOSETARGET));
    EXPECT_FALSE(checked(dialog, IDC_OPT_SHUTDOWN));
    EXPECT_TRUE(checked(dialog, IDC_OPT_BEEP));
    EXPECT_EQ(text(dialog, IDC_OPT_FREQUENCY), "800");
    EXPECT_TRUE(enabled(dialog, IDC_OPT_FREQUENCY));
    EXPECT_TRUE(checked(dialog, IDC_OPT_SENDKEY));
    EXPECT_EQ(text(dialog, IDC_OPT_KEY), "R");
    EXPECT_TRUE(enabled(dialog, IDC_OPT_KEY));
    EXPECT_FALSE(checked(dialog, IDC_OPT_TRANSPARENT));
    EXPECT_EQ(text(dialog, IDC_OPT_ALPHA), "");
    EXPECT_FALSE(enabled(dialog, IDC_OPT_ALPHA));

    // Changes typed before leaving without saving must not reach the file.
    e2e::setText(dialog, IDC_OPT_LEVEL2, "123");
    e2e::click(dialog, IDC_OPT_CANCEL);
    ASSERT_TRUE(e2e::closed(dialog));
    EXPECT_EQ(product.iniText(), before);

    dialog = product.openOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, IDC_OPT_LEVEL2), "777");
    e2e::setText(dialog, IDC_OPT_LEVEL2, "123");
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); // the caption's close box
    ASSERT_TRUE(e2e::closed(dialog));
    EXPECT_EQ(product.iniText(), before);
}

TEST_F(OptionsDialogE2E, NoFileShowsTheAbsentKeyValues) {
    ASSERT_NE(product.start(e2e::baseIni()), nullptr);
    zvtest::removeFile(product.iniPath());
    const HWND dialog = product.openOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, IDC_OPT_INTERVAL), "1000");
    EXPECT_EQ(text(dialog, IDC_OPT_DRIVE), "C:\\");
    EXPECT_EQ(text(dialog, IDC_OPT_WINDOWNAME), "DEFAULT");
    EXPECT_EQ(text(dialog, IDC_OPT_CLASSNAME), "DEFAULT");
    EXPECT_EQ(text(dialog, IDC_OPT_LEVEL1), "0");
    EXPECT_EQ(text(dialog, IDC_OPT_LEVEL2), "0");
    for (int box : {IDC_OPT_CLOSETARGET, IDC_OPT_SHUTDOWN, IDC_OPT_BEEP, IDC_OPT_SENDKEY,
                    IDC_OPT_TRANSPARENT}) {
        EXPECT_FALSE(checked(dialog, box)) << "box " << box;
    }
    for (int edit : {IDC_OPT_FREQUENCY, IDC_OPT_KEY, IDC_OPT_ALPHA}) {
        EXPECT_FALSE(enabled(dialog, edit)) << "edit " << edit;
    }
    e2e::click(dialog, IDC_OPT_CANCEL);
    ASSERT_TRUE(e2e::closed(dialog));
    EXPECT_FALSE(zvtest::fileExists(product.iniPath())) << "Cancel wrote a file";
}

TEST_F(OptionsDialogE2E, SaveStoresWhatTheFieldsHold) {
    const HWND dialog = openWith({{"CloseTarget", "5"}, {"ShutDownPC", "00000000"}});
    ASSERT_NE(dialog, nullptr);
    const std::string longName(200, 'n');

    e2e::setText(dialog, IDC_OPT_INTERVAL, "");
    e2e::setText(dialog, IDC_OPT_DRIVE, "E:\\data");
    e2e::setText(dialog, IDC_OPT_LEVEL1, "3000000000");
    e2e::setText(dialog, IDC_OPT_LEVEL2, "100");
    e2e::setText(dialog, IDC_OPT_WINDOWNAME, longName);
    e2e::setText(dialog, IDC_OPT_CLASSNAME, std::string(300, 'c'));
    e2e::click(dialog, IDC_OPT_TRANSPARENT); // checked, with an empty Alpha
    ASSERT_TRUE(enabled(dialog, IDC_OPT_ALPHA));
    e2e::click(dialog, IDC_OPT_BEEP); // checked, with a field that is not a number
    e2e::setText(dialog, IDC_OPT_FREQUENCY, "abc");
    e2e::click(dialog, IDC_OPT_SENDKEY);
    e2e::setText(dialog, IDC_OPT_KEY, "AB");
    ASSERT_TRUE(checked(dialog, IDC_OPT_CLOSETARGET));
    saveAndWait(dialog);

    EXPECT_EQ(product.iniValue("UpdateInterval"), "00000000");
    EXPECT_EQ(product.iniValue("DriveLetter"), "E:\\");
    EXPECT_EQ(product.iniValue("level1"), "-1294967296"); // bit for bit, every digit kept
    EXPECT_EQ(product.iniValue("level2"), "00000100");
    EXPECT_EQ(product.iniValue("WindowName"), longName);
    EXPECT_EQ(product.iniValue("ClassName"), std::string(254, 'c'));
    EXPECT_EQ(product.iniValue("HideTarget"), "00000000");
    EXPECT_EQ(product.iniValue("frequency"), "00000000");
    EXPECT_EQ(product.iniValue("key"), "00016961");
    EXPECT_EQ(product.iniValue("CloseTarget"), "00000001");
    EXPECT_EQ(product.iniValue("ShutDownPC"), "00000000");
    EXPECT_EQ(product.iniValue("x"), "00000020"); // the position is not the dialog's
    EXPECT_EQ(product.iniValue("y"), "00000020");

    // Read back by the next opening.
    const HWND again = product.openOptions();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(text(again, IDC_OPT_INTERVAL), "1000"); // a stored 0 loads as 1000
    EXPECT_EQ(text(again, IDC_OPT_LEVEL1), "3000000000");
    EXPECT_FALSE(checked(again, IDC_OPT_TRANSPARENT));
    EXPECT_FALSE(checked(again, IDC_OPT_BEEP));
    EXPECT_TRUE(checked(again, IDC_OPT_SENDKEY));
    EXPECT_EQ(text(again, IDC_OPT_KEY), "AB");
    e2e::click(again, IDC_OPT_CANCEL);
    EXPECT_TRUE(e2e::closed(again));
}

enum class KeyAction { Type, Keep, Uncheck };

struct KeyCase {
    const char* storedKey; // as in the file before the dialog opens
    KeyAction action;
    const char* typed;    // for KeyAction::Type
    const char* savedKey; // as in the file after saving
};

TEST_F(OptionsDialogE2E, KeyFieldStoresTheCodesItsCharactersSpell) {
    const KeyCase cases[] = {
        {"00000000", KeyAction::Type, "R", "00000082"},
        {"00000000", KeyAction::Type, "r", "00000114"}, // lower case is its own code
        {"00000082", KeyAction::Type, "", "00000000"},
        {"00000082", KeyAction::Type, "RST", "00021330"}, // RS: a third character does not fit
        {"00000013", KeyAction::Keep, "", "00000013"},    // Enter's code, shown as a CR
        {"00016961", KeyAction::Uncheck, "", "00000000"},
        // 0x00434241 shows ABC; X and the terminator replace the low two bytes only.
        {"04407873", KeyAction::Type, "X", "04391000"},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(std::string("stored ") + c.storedKey + " typed \"" + c.typed + "\"");
        e2e::ProductRun run;
        ASSERT_NE(run.start(e2e::withKeys(e2e::baseIni(), {{"key", c.storedKey}})), nullptr);
        const HWND dialog = run.openOptions();
        ASSERT_NE(dialog, nullptr);
        switch (c.action) {
        case KeyAction::Type:
            if (!checked(dialog, IDC_OPT_SENDKEY)) {
                e2e::click(dialog, IDC_OPT_SENDKEY);
            }
            e2e::setText(dialog, IDC_OPT_KEY, c.typed);
            break;
        case KeyAction::Keep:
            break;
        case KeyAction::Uncheck:
            e2e::click(dialog, IDC_OPT_SENDKEY); // the text stays but is ignored
            EXPECT_FALSE(enabled(dialog, IDC_OPT_KEY));
            EXPECT_EQ(text(dialog, IDC_OPT_KEY), "AB");
            break;
        }
        e2e::click(dialog, IDC_OPT_SAVE);
        ASSERT_TRUE(e2e::closed(dialog));
        EXPECT_EQ(run.iniValue("key"), c.savedKey);
        if (std::string(c.savedKey) == "00000000") {
            const HWND again = run.openOptions();
            ASSERT_NE(again, nullptr);
            EXPECT_FALSE(checked(again, IDC_OPT_SENDKEY));
            EXPECT_FALSE(enabled(again, IDC_OPT_KEY));
            e2e::click(again, IDC_OPT_CANCEL);
            EXPECT_TRUE(e2e::closed(again));
        }
    }
}

TEST_F(OptionsDialogE2E, ShownKeyTextOfAWideCode) {
    const HWND dialog = openWith({{"key", "04407873"}}); // 0x00434241
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, IDC_OPT_KEY), "ABC");
    e2e::click(dialog, IDC_OPT_CANCEL);
    EXPECT_TRUE(e2e::closed(dialog));
}

TEST_F(OptionsDialogE2E, CheckBoxesSwitchTheirFieldsAndKeepTheText) {
    const HWND dialog = openWith({{"frequency", "00000440"}, {"HideTarget", "00000200"}});
    ASSERT_NE(dialog, nullptr);
    e2e::click(dialog, IDC_OPT_BEEP);
    EXPECT_FALSE(checked(dialog, IDC_OPT_BEEP));
    EXPECT_FALSE(enabled(dialog, IDC_OPT_FREQUENCY));
    EXPECT_EQ(text(dialog, IDC_OPT_FREQUENCY), "440");
    e2e::click(dialog, IDC_OPT_BEEP);
    EXPECT_TRUE(enabled(dialog, IDC_OPT_FREQUENCY));
    e2e::click(dialog, IDC_OPT_BEEP);
    e2e::click(dialog, IDC_OPT_TRANSPARENT);
    EXPECT_FALSE(enabled(dialog, IDC_OPT_ALPHA));
    EXPECT_EQ(text(dialog, IDC_OPT_ALPHA), "200");
    e2e::click(dialog, IDC_OPT_SHUTDOWN);
    saveAndWait(dialog);
    EXPECT_EQ(product.iniValue("frequency"), "00000000");
    EXPECT_EQ(product.iniValue("HideTarget"), "00000000");
    EXPECT_EQ(product.iniValue("ShutDownPC"), "00000001");
}

TEST_F(OptionsDialogE2E, EscapeDoesNothingAndEnterSaves) {
    const HWND dialog = openWith({{"level2", "00000100"}});
    ASSERT_NE(dialog, nullptr);
    const std::string before = product.iniText();
    e2e::setText(dialog, IDC_OPT_LEVEL2, "250");

    e2e::typeKey(dialog, IDC_OPT_LEVEL1, VK_ESCAPE);
    EXPECT_TRUE(e2e::staysOpen(dialog, 500)) << "Escape closed the dialog";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(e2e::staysOpen(dialog, 300)) << "IDCANCEL closed the dialog";
    PostMessageA(dialog, WM_CHAR, 27, 0);
    EXPECT_TRUE(e2e::staysOpen(dialog, 300));
    EXPECT_EQ(product.iniText(), before);

    e2e::typeKey(dialog, IDC_OPT_LEVEL1, VK_RETURN);
    ASSERT_TRUE(e2e::closed(dialog)) << "Enter did not save and close";
    EXPECT_EQ(product.iniValue("level2"), "00000250");
}

TEST_F(OptionsDialogE2E, OwnerTakesNoInputWhileOpen) {
    const HWND dialog = openWith({});
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(product.mainWindow()));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), product.mainWindow());
    e2e::click(dialog, IDC_OPT_CANCEL);
    ASSERT_TRUE(e2e::closed(dialog));
    EXPECT_TRUE(zvtest::waitUntil([&] { return IsWindowEnabled(product.mainWindow()) != FALSE; }));
}

// The program presses the key once when the alarm engages at a tick: how soon that
// happens shows which timer period is running.
class OptionsTimerE2E : public OptionsDialogE2E {
  protected:
    void SetUp() override {
        targetClass = zvtest::uniqueName("zv-opt-target");
        logPath = zvtest::tempFolder() + targetClass + ".log";
        ASSERT_NE(zvtest::startTarget(target, targetClass, {"--log", logPath}), nullptr);
    }
    void TearDown() override { zvtest::removeFile(logPath); }

    // Any drive has less free space than this, so the first tick raises the alarm.
    e2e::IniKeys alarmAtFirstTick(const char* interval) {
        return e2e::withKeys(e2e::baseIni(), {{"level1", "2000000000"},
                                              {"ClassName", targetClass},
                                              {"key", "00000082"},
                                              {"UpdateInterval", interval}});
    }
    bool keyPressedWithin(DWORD ms) {
        return zvtest::waitUntil([&] { return e2e::keyDowns(logPath, 82) > 0; }, ms);
    }

    zvtest::ChildProcess target;
    std::string targetClass;
    std::string logPath;
};

TEST_F(OptionsTimerE2E, SavedIntervalTakesEffectWhenTheDialogCloses) {
    ASSERT_NE(product.start(alarmAtFirstTick("00060000")), nullptr);
    const HWND dialog = product.openOptions();
    ASSERT_NE(dialog, nullptr);
    e2e::setText(dialog, IDC_OPT_INTERVAL, "200");
    // Typed but not saved: the running timer keeps its minute.
    EXPECT_FALSE(keyPressedWithin(800));
    saveAndWait(dialog);
    EXPECT_TRUE(keyPressedWithin(3000)) << "no tick at the new period";
    EXPECT_EQ(product.iniValue("UpdateInterval"), "00000200");
}

TEST_F(OptionsTimerE2E, CancelRestartsTheTimerWithTheFileAsReRead) {
    ASSERT_NE(product.start(alarmAtFirstTick("00060000")), nullptr);
    // Edited by hand while the program runs: only the dialog's re-read brings it in.
    ASSERT_TRUE(zvtest::writeIni(product.iniPath(), alarmAtFirstTick("00000200")));
    EXPECT_FALSE(keyPressedWithin(800));
    const HWND dialog = product.openOptions();
    ASSERT_NE(dialog, nullptr);
    e2e::click(dialog, IDC_OPT_CANCEL);
    ASSERT_TRUE(e2e::closed(dialog));
    EXPECT_TRUE(keyPressedWithin(3000)) << "the cancelled dialog did not restart the timer";
}

TEST_F(OptionsTimerE2E, AlarmKeepsTickingWhileTheDialogIsOpen) {
    ASSERT_NE(product.start(alarmAtFirstTick("00001500")), nullptr);
    const HWND dialog = product.openOptions();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(e2e::keyDowns(logPath, 82), 0) << "the first tick came before the dialog opened";
    EXPECT_TRUE(keyPressedWithin(5000));
    EXPECT_TRUE(IsWindow(dialog));
    e2e::click(dialog, IDC_OPT_CANCEL);
    EXPECT_TRUE(e2e::closed(dialog));
}

} // namespace
