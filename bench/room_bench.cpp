// Time of one check that makes room, over a folder of 1,000 and of 10,000 recordings: the scan
// of the whole folder, then the oldest ten deleted, free space measured after each.
//
//   room_bench.exe [checks]
//
// Prints one "result ..." line per folder size (times in milliseconds).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "monitor/room_making.h"
#include "settings/settings.h"

namespace {

constexpr int MostChecks = 64;

char folder[MAX_PATH];

void recording(int number, bool create) {
    char path[MAX_PATH];
    wsprintfA(path, "%srec%05d.ts", folder, number);
    if (!create) {
        DeleteFileA(path);
        return;
    }
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    // Two hours old, the oldest first: each check deletes the next ten.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER written = {{now.dwLowDateTime, now.dwHighDateTime}};
    written.QuadPart -= (7200ull + 100000 - number) * 10000000ull;
    const FILETIME then = {written.LowPart, written.HighPart};
    SetFileTime(file, nullptr, nullptr, &then);
    CloseHandle(file);
}

double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Each check deletes the ten oldest; they are made again, untimed, before the next.
void run(int files, int checks) {
    for (int i = 0; i < files; ++i) {
        recording(i, true);
    }
    double times[MostChecks];
    for (int check = 0; check < checks; ++check) {
        RoomMaking::endExcursion();
        const double start = nowMs();
        RoomMaking::run(nullptr, 0, {true, 0});
        times[check] = nowMs() - start;
        for (int i = 0; i < RoomMaking::MostFiles; ++i) {
            recording(i, true);
        }
    }
    std::sort(times, times + checks);
    std::printf("result case=room_%d files=%d checks=%d check_ms=%.2f min_ms=%.2f max_ms=%.2f\n",
                files, files, checks, times[checks / 2], times[0], times[checks - 1]);
    std::fflush(stdout);
    for (int i = 0; i < files; ++i) {
        recording(i, false);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int checks = std::min(argc > 1 ? std::atoi(argv[1]) : 15, MostChecks);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    wsprintfA(folder, "%szv-room-bench-%lu\\", temp, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);
    std::memset(&settings, 0, sizeof settings);
    std::strncpy(settings.DriveLetter, temp, 3);
    wsprintfA(settings.MakeRoom, "%s*.ts", folder);
    // Every check is at or below level 1 and ten files short of the goal.
    settings.level1 = 0x7FFFFFFF;
    settings.MakeRoomTo = 0x7FFFFFFF;
    settings.MakeRoomAge = 60;
    RoomMaking::configure();
    for (const int files : {1000, 10000}) {
        run(files, checks);
    }
    RemoveDirectoryA(folder);
    return 0;
}
