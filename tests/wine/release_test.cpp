// What a release ships beside the code: the version record inside zembrovale.exe and the
// commented sample zembrovale.ini, read by the program's own code and by the running program.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/program_name.h"
#include "e2e_dialog_support.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace {

std::string sourceFile(const char* relative) {
    return zvtest::windowsPath(std::string(ZV_SOURCE_UNIX_DIR) + "/" + relative);
}

// The sample as the package carries it: Windows line ends.
std::string shippedSample() {
    const std::string source = zvtest::readFile(sourceFile("resources/sample.ini"));
    std::string crlf;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '\n' && (i == 0 || source[i - 1] != '\r')) {
            crlf += '\r';
        }
        crlf += source[i];
    }
    return crlf;
}

// The keys as the program writes them, in its order.
const char* const Keys[] = {"level1",      "level2",      "ClassName",  "WindowName",
                            "x",           "y",           "frequency",  "key",
                            "DriveLetter", "CloseTarget", "ShutDownPC", "UpdateInterval",
                            "HideTarget"};

TEST(SampleSettings, HoldsEveryKeyOnceAsTheProgramSpellsIt) {
    const std::vector<std::string> lines = zvtest::readLines(sourceFile("resources/sample.ini"));
    ASSERT_FALSE(lines.empty()) << "the sample was not found";
    std::vector<std::string> keys;
    bool inOptions = false;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            EXPECT_EQ(line, "[Options]") << "the program reads only this section";
            inOptions = true;
            continue;
        }
        const size_t equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << "neither comment nor key: " << line;
        EXPECT_TRUE(inOptions) << "key before [Options]: " << line;
        // The profile API reads a value to the line's end; a comment there would be read too.
        EXPECT_EQ(line.find(';'), std::string::npos) << "comment after a value: " << line;
        keys.push_back(line.substr(0, equals));
    }
    // Spelled and ordered as a save writes them, so the program rewrites each in place.
    EXPECT_EQ(keys, std::vector<std::string>(std::begin(Keys), std::end(Keys)));
}

TEST(SampleSettings, LoadsAsItsCommentsSay) {
    const std::string ini = zvtest::ownIniPath();
    ASSERT_TRUE(zvtest::writeFile(ini, shippedSample()));
    std::memset(&settings, 0x55, sizeof settings);
    SettingsFile::load();
    zvtest::removeFile(ini);

    EXPECT_EQ(settings.level1, 500);
    EXPECT_EQ(settings.level2, 100);
    EXPECT_STREQ(settings.ClassName, "DEFAULT"); // no target until the user names one
    EXPECT_STREQ(settings.WindowName, "NULL");   // any title
    EXPECT_EQ(settings.x, 20);
    EXPECT_EQ(settings.y, 20);
    EXPECT_EQ(settings.frequency, 800);
    EXPECT_EQ(settings.key, 0u);
    EXPECT_STREQ(settings.DriveLetter, "C:\\");
    EXPECT_EQ(settings.CloseTarget, 0);
    EXPECT_EQ(settings.ShutDownPC, 0); // a sample must never shut a computer down
    EXPECT_EQ(settings.UpdateInterval, 1000u);
    EXPECT_EQ(settings.HideTarget, 0);
}

// Lines without the empty ones: Wine's profile writer drops them whenever it rewrites a file
// (Windows keeps them), and they carry nothing.
std::string withoutEmptyLines(const std::string& text) {
    std::string kept;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(begin, end - begin);
        if (line != "\r\n" && line != "\n") {
            kept += line;
        }
        begin = end;
    }
    return kept;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Unzipped as it is, the sample must start the program without the drive warning and show
// in the Options dialog as its comments say; a save rewrites the changed value in place and
// keeps every comment.
TEST(SampleSettings, RunsTheProgramAndSurvivesItsWrites) {
    const std::string folder = zvtest::tempFolder() + zvtest::uniqueName("zv-release");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string exe = folder + "\\zembrovale.exe";
    const std::string ini = folder + "\\zembrovale.ini";
    const std::string sample = shippedSample();
    ASSERT_TRUE(CopyFileA(zvtest::productPath().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(zvtest::writeFile(ini, sample));
    {
        zvtest::ChildProcess program;
        ASSERT_TRUE(program.start("\"" + exe + "\"", folder.c_str()));
        const HWND mainWindow = program.waitForWindow("ZEMBROVALE");
        ASSERT_NE(mainWindow, nullptr);
        EXPECT_EQ(program.waitForWindow("#32770", ProgramTitle, 1500), nullptr)
            << "the drive warning appeared";

        PostMessageA(mainWindow, WM_COMMAND, CmdOptions, 0);
        const HWND dialog = program.waitForWindow("#32770", "Options");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(zvtest::waitUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
        struct Field {
            int id;
            const char* text;
        };
        const Field fields[] = {{IDC_OPT_INTERVAL, "1000"},   {IDC_OPT_DRIVE, "C:\\"},
                                {IDC_OPT_LEVEL1, "500"},      {IDC_OPT_LEVEL2, "100"},
                                {IDC_OPT_WINDOWNAME, "NULL"}, {IDC_OPT_CLASSNAME, "DEFAULT"},
                                {IDC_OPT_FREQUENCY, "800"},   {IDC_OPT_KEY, ""},
                                {IDC_OPT_ALPHA, ""}};
        for (const Field& field : fields) {
            EXPECT_EQ(e2e::text(dialog, field.id), field.text) << "control " << field.id;
        }
        struct Box {
            int id;
            bool checked;
        };
        const Box boxes[] = {{IDC_OPT_BEEP, true},
                             {IDC_OPT_SENDKEY, false},
                             {IDC_OPT_TRANSPARENT, false},
                             {IDC_OPT_CLOSETARGET, false},
                             {IDC_OPT_SHUTDOWN, false}};
        for (const Box& box : boxes) {
            EXPECT_EQ(e2e::checked(dialog, box.id), box.checked) << "box " << box.id;
        }
        e2e::setText(dialog, IDC_OPT_LEVEL2, "150");
        e2e::click(dialog, IDC_OPT_SAVE);
        ASSERT_TRUE(e2e::closed(dialog));

        PostMessageA(mainWindow, WM_COMMAND, CmdClose, 0);
        ASSERT_TRUE(program.waitForExit());
        EXPECT_EQ(program.exitCode(), 0u);
    }
    // The window did not move, so the position stored at exit is the sample's own.
    EXPECT_EQ(withoutEmptyLines(zvtest::readFile(ini)),
              withoutEmptyLines(replaced(sample, "level2=00000100", "level2=00000150")));
    zvtest::removeFile(ini);
    zvtest::removeFile(exe);
    RemoveDirectoryA(folder.c_str());
}

// The first line of the licence that names the holder.
std::string licenceCopyright() {
    for (const std::string& line : zvtest::readLines(sourceFile("LICENSE"))) {
        if (line.compare(0, 9, "Copyright") == 0) {
            return line;
        }
    }
    return "<no copyright line in LICENSE>";
}

TEST(VersionResource, NamesTheProgramAndItsVersion) {
    const std::string exe = zvtest::productPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version record in " << exe;
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000007u); // 0.7
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u); // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000007u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "a debug or pre-release build";
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    // The strings are looked up under the language and code page the record declares, as
    // the file's properties do; a block under any other name would show nothing.
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof *translation);
    char block[64];
    wsprintfA(block, "\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);

    const std::string copyright = licenceCopyright();
    struct Expected {
        const char* name;
        std::string value;
    };
    const Expected strings[] = {
        {"FileVersion", "0.7"},
        {"ProductVersion", "0.7"},
        {"ProductName", "Zembrovale"},
        {"FileDescription", "Zembrovale - guards a drive against running full"},
        {"OriginalFilename", "zembrovale.exe"},
        {"LegalCopyright", copyright},
    };
    for (const Expected& expected : strings) {
        char* value = nullptr;
        const std::string query = std::string(block) + expected.name;
        if (!VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&value),
                            &length) ||
            value == nullptr) {
            ADD_FAILURE() << "no " << query;
            continue;
        }
        EXPECT_EQ(std::string(value), expected.value) << query;
    }
    // The caption, the tray tip and the warnings name the same version.
    EXPECT_STREQ(ProgramTitle, "Zembrovale 0.7");
}

} // namespace
