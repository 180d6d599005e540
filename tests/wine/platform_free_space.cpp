// The free-space measurement on a real drive: the tmpfs that scripts/wine-env.sh links
// as D:, whose free space follows every file written there.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "core/program_name.h"
#include "monitor/free_space.h"
#include "settings/settings.h"
#include "support/wine_support.h"

namespace {

constexpr std::uint64_t MiB = 1048576;

bool driveIsEmpty(const std::string& root) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((root + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return true;
    }
    bool empty = true;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0) {
            empty = false;
        }
    } while (empty && FindNextFileA(search, &entry));
    FindClose(search);
    return empty;
}

class FreeSpaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        drive = zvtest::testDrive();
        if (drive.empty()) {
            GTEST_SKIP() << "no test drive: run through scripts/wine-tests.sh";
        }
        std::memset(&settings, 0, sizeof settings);
        drive.copy(settings.DriveLetter, sizeof settings.DriveLetter - 1);
        driveFailureReported = false;
    }
    void TearDown() override {
        if (!file.empty()) {
            zvtest::removeFile(file);
        }
        driveFailureReported = false;
    }

    std::uint32_t probe() {
        const FreeMegabytes measured = FreeSpaceProbe(nullptr, 0);
        EXPECT_TRUE(measured.valid) << "measuring " << drive << " failed";
        return measured.megabytes;
    }

    std::string drive;
    std::string file;
};

TEST_F(FreeSpaceTest, ProbeEqualsTheDrivesFreeMegabytes) {
    std::uint32_t expected = 0;
    ASSERT_TRUE(zvtest::freeMegabytes(drive, &expected));
    EXPECT_EQ(expected, probe());

    // On a drive with nothing on it, the free space is the size the script gave it.
    if (driveIsEmpty(drive) && zvtest::testDriveMegabytes() != 0) {
        EXPECT_EQ(zvtest::testDriveMegabytes(), probe()) << "empty drive";
    }
}

class FreeSpaceFileTest : public FreeSpaceTest, public ::testing::WithParamInterface<int> {};

TEST_P(FreeSpaceFileTest, WritingAFileLowersItByExactlyItsSize) {
    const int megabytes = GetParam();
    const std::uint32_t before = probe();
    ASSERT_GT(before, static_cast<std::uint32_t>(megabytes)) << "test drive too small";

    file = drive + zvtest::uniqueName("fill") + ".bin";
    ASSERT_TRUE(zvtest::writeSizedFile(file, megabytes * MiB)) << "writing " << file;
    EXPECT_EQ(before - megabytes, probe()) << "after writing " << megabytes << " MiB";

    zvtest::removeFile(file);
    EXPECT_FALSE(zvtest::fileExists(file));
    EXPECT_EQ(before, probe()) << "after deleting the file";
}

INSTANTIATE_TEST_SUITE_P(Sizes, FreeSpaceFileTest, ::testing::Values(1, 7, 32),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "MiB";
                         });

TEST_F(FreeSpaceTest, PartOfAMegabyteStillCountsAsUsed) {
    const std::uint32_t before = probe();
    file = drive + zvtest::uniqueName("part") + ".bin";
    // Half a MiB more than 2: the remainder of the division is discarded, so the drive
    // shows 3 MB less.
    ASSERT_TRUE(zvtest::writeSizedFile(file, 2 * MiB + MiB / 2));
    EXPECT_EQ(before - 3, probe());
}

// Finds a message box the failed measurement shows on the test's own thread, reads its
// caption and text, and dismisses it; a box with a wrong caption must not hang the test.
struct WarningWatcher {
    std::atomic<bool> seen{false};
    std::string caption;
    std::string text;
    std::thread thread;

    static BOOL CALLBACK findDialog(HWND window, LPARAM param) {
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::strcmp(className, "#32770") != 0) {
            return TRUE;
        }
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }

    void start(DWORD timeoutMs) {
        const DWORD testThread = GetCurrentThreadId();
        thread = std::thread([this, timeoutMs, testThread] {
            HWND box = nullptr;
            zvtest::waitUntil(
                [&] {
                    EnumThreadWindows(testThread, findDialog, reinterpret_cast<LPARAM>(&box));
                    return box != nullptr;
                },
                timeoutMs);
            if (box == nullptr) {
                return;
            }
            char buffer[256] = "";
            GetWindowTextA(box, buffer, sizeof buffer);
            caption = buffer;
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            seen = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    }
    void join() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

TEST_F(FreeSpaceTest, MissingDriveWarnsOnceAndYieldsNoValue) {
    std::memset(settings.DriveLetter, 0, sizeof settings.DriveLetter);
    std::strcpy(settings.DriveLetter, "Q:\\");

    WarningWatcher first;
    first.start(zvtest::DefaultWaitMs);
    const FreeMegabytes failed = FreeSpaceProbe(nullptr, 0);
    first.join();
    EXPECT_FALSE(failed.valid);
    ASSERT_TRUE(first.seen) << "no message box";
    EXPECT_EQ(ProgramTitle, first.caption);
    EXPECT_EQ("Drive Letter is not correct..Check ini file.", first.text);
    EXPECT_TRUE(driveFailureReported);

    // While the program is ending, further measurements fail quietly.
    WarningWatcher second;
    second.start(300);
    EXPECT_FALSE(FreeSpaceProbe(nullptr, 0).valid);
    second.join();
    EXPECT_FALSE(second.seen) << "a second warning appeared";
}

} // namespace
