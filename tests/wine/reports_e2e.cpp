// What a guard tells the tools that watch many machines, from a real run through an alarm, its
// level 2 and the recovery: the reports to the Application log, as Wine's debug channel shows
// them (its event log keeps nothing), and the metrics file, which promtool checks. A program of
// its own: run_with_debug_output.sh gives it the standard error where those reports appear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e_main_support.h"

namespace {

using Lines = std::vector<std::string>;

// (type, ID) of each report, "0002 8" for a warning with ID 8, in their order.
Lines reports(const std::string& debugOutput) {
    Lines found;
    for (const std::string& line : zvtest::readLines(debugOutput)) {
        const std::size_t at = line.find("fixme:advapi:ReportEventA (");
        unsigned type = 0, id = 0;
        if (at != std::string::npos && std::sscanf(line.c_str() + line.find(',', at) + 1,
                                                   "0x%x,0x%*x,0x%x", &type, &id) == 2) {
            found.push_back(std::to_string(type) + " " + std::to_string(id));
        }
    }
    return found;
}

class ReportsE2E : public e2e::TargetOnTestDrive {};

TEST_F(ReportsE2E, TheEventLogAndTheMetricsFileTellAnAlarmItsLevelTwoAndTheRecovery) {
    const std::string debugOutput = zvtest::windowsPath(zvtest::envVar("ZV_WINE_DEBUG_OUTPUT"));
    if (debugOutput == "Z:") {
        GTEST_SKIP() << "run through run_with_debug_output.sh";
    }
    const std::string metrics = zvtest::testDrive() + "zv-watch.prom";
    ASSERT_NE(startTarget(), nullptr);
    // The guard's reports go to the debug channel; this program's own stay off.
    SetEnvironmentVariableA("WINEDEBUG", "+eventlog");
    const HWND started =
        product.start(zvtest::withKeys(e2e::baseIni(), {{"level1", std::to_string(free - 3)},
                                                        {"level2", std::to_string(free - 10)},
                                                        {"ClassName", targetClass},
                                                        {"DriveLetter", zvtest::testDrive()},
                                                        {"CloseTarget", "00000001"},
                                                        {"ShutDownPC", "00000001"},
                                                        {"DryRun", "1"},
                                                        {"UpdateInterval", "00000050"},
                                                        {"EventLog", "1"},
                                                        {"MetricsFile", metrics}}));
    SetEnvironmentVariableA("WINEDEBUG", "-all");
    ASSERT_NE(started, nullptr);
    e2e::DriveFiller filler("zv-watch.bin");
    ASSERT_TRUE(filler.fill(16));
    ASSERT_TRUE(target.waitForExit()) << "closed at level 2";
    const auto has = [&](const char* report) {
        return zvtest::waitUntil([&] {
            const Lines seen = reports(debugOutput);
            return std::find(seen.begin(), seen.end(), report) != seen.end();
        });
    };
    // The alarm (8) and the close (10) as warnings, the rehearsed shutdown (11) as one.
    EXPECT_TRUE(has("2 8") && has("2 10") && has("2 11")) << zvtest::joined(reports(debugOutput));
    ASSERT_TRUE(zvtest::waitUntil([&] {
        return zvtest::readFile(metrics).find("zembrovale_level2{drive=\"D:\\\\\"} 1\n") !=
               std::string::npos;
    })) << zvtest::readFile(metrics);
    const std::string atLevelTwo = zvtest::readFile(metrics);
    EXPECT_NE(atLevelTwo.find("zembrovale_level_bytes{drive=\"D:\\\\\",level=\"1\"} " +
                              std::to_string((free - 3) * 1048576ull) + "\n"),
              std::string::npos)
        << atLevelTwo;
    filler.release();
    EXPECT_TRUE(has("4 12")) << "the recovery, as information: "
                             << zvtest::joined(reports(debugOutput));
    std::string said;
    EXPECT_TRUE(zvtest::runLinuxCommand(
        "promtool check metrics < " + zvtest::testDriveDir() + "/zv-watch.prom", &said))
        << said;
    EXPECT_EQ(said, "");
    EXPECT_EQ(product.closeAndWait(), 0u);
    const std::string last = zvtest::readFile(metrics);
    EXPECT_EQ(last.substr(last.rfind("zembrovale_up")), "zembrovale_up{drive=\"D:\\\\\"} 0\n");
    zvtest::removeFile(metrics);
}

} // namespace
