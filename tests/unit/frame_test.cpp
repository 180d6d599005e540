#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/main_window.h"
#include "settings/settings.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/fake_tuner_platform.h"
#include "tests/unit/fake_ui_platform.h"
#include "tuner/tuner_meter.h"

namespace {

using Calls = std::vector<std::string>;
WindowHandle const mainWindow = reinterpret_cast<WindowHandle>(0x1234);

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeui::reset();
        FakeTuner::reset();
        std::memset(&settings, 0, sizeof settings);
        fake::ini = {{"ClassName", "RecorderMainWnd"},
                     {"WindowName", "NULL"},
                     {"x", "00000010"},
                     {"y", "00000020"}};
        SettingsFile::load();
        fake::calls.clear();
        windowHidden = false;
        tunerAvailable = false;
    }
};

TEST_F(FrameTest, CreationBuildsMenuAndIconThenBarThenAppliesTheLock) {
    fake::windows.push_back({"RecorderMainWnd", "Recorder"});
    Frame::onCreate(mainWindow);
    const auto icon =
        std::find(fake::calls.begin(), fake::calls.end(), "Shell_NotifyIconA NIM_ADD");
    ASSERT_NE(icon, fake::calls.end());
    EXPECT_EQ(fake::calls.front(), "CreatePopupMenu");
    EXPECT_EQ(*(icon + 1), "FindWindowA RecorderMainWnd|(any)");
    // No lock stored: an existing target is unlocked and brought to the front.
    EXPECT_EQ(fake::calls.back(), "ModifyMenuA 1006 Lock Target");
    EXPECT_TRUE(fake::windows[0].enabled);
    EXPECT_EQ(FakeTuner::calls, Calls{"create bar"});
}

TEST_F(FrameTest, OnlyMinimizingHidesTheWindow) {
    for (std::uintptr_t sizeType : {0u, 2u, 3u, 4u}) {
        Frame::onSize(mainWindow, sizeType);
    }
    EXPECT_EQ(fake::calls, Calls{});
    EXPECT_FALSE(windowHidden);

    Frame::onSize(mainWindow, 1);
    EXPECT_TRUE(windowHidden);
    EXPECT_EQ(fake::calls, (Calls{"ModifyMenuA 1000 Restore", "ShowWindow SW_HIDE"}));
}

// The end happens once per process, so its steps are checked in one run.
TEST_F(FrameTest, FirstDestroyEndsTheRunOnceAndFinishStoresThatPosition) {
    fakeui::windowLeft = -300; // off screen on the left: stored as it is
    fakeui::windowTop = 80;
    Frame::onDestroy(mainWindow);
    EXPECT_EQ(fake::calls,
              (Calls{"Shell_NotifyIconA NIM_DELETE", "GetWindowRect", "PostQuitMessage 0"}));

    // A second WM_DESTROY (the drive warning ending after "Close") changes nothing.
    fake::calls.clear();
    fakeui::windowLeft = 500;
    Frame::onDestroy(mainWindow);
    EXPECT_EQ(fake::calls, Calls{});

    // Hidden in the notification area: the file keeps its earlier position.
    windowHidden = true;
    Frame::finish();
    EXPECT_EQ(fake::calls, Calls{});
    EXPECT_EQ(FakeTuner::calls, Calls{});

    windowHidden = false;
    tunerAvailable = true;
    Frame::finish();
    EXPECT_EQ(fake::calls, (Calls{"WritePrivateProfileStringA x=-0000300",
                                  "WritePrivateProfileStringA y=00000080"}));
    EXPECT_EQ(FakeTuner::calls, Calls{"SkyClose"});
}

} // namespace
