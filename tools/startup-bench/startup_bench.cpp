// Start-up time and memory of a program: from CreateProcess until its window with the given
// caption is visible, and the process's peak working set once it is shown. Prints the median
// of several runs.
//   startup_bench.exe PROGRAM.exe CAPTION [RUNS]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    const wchar_t* caption;
    bool found;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t text[256];
    if (pid == s->pid && IsWindowVisible(hwnd) && GetWindowTextW(hwnd, text, 256) &&
        lstrcmpW(text, s->caption) == 0) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM CAPTION [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? _wtoi(argv[3]) : 7;
    std::vector<double> ms;
    std::vector<double> peakKb;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    for (int i = 0; i < runs; ++i) {
        std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        LARGE_INTEGER start, now;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi)) {
            std::fprintf(stderr, "cannot start: %lu\n", GetLastError());
            return 1;
        }
        Search search{pi.dwProcessId, argv[2], false};
        for (int tries = 0; tries < 30000 && !search.found; ++tries) {
            EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
            if (!search.found) Sleep(1);
        }
        QueryPerformanceCounter(&now);
        if (!search.found) {
            std::fprintf(stderr, "no window\n");
            TerminateProcess(pi.hProcess, 1);
            return 1;
        }
        ms.push_back(1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                     static_cast<double>(freq.QuadPart));
        Sleep(300);  // let it settle so the peak includes its first painting
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters);
        peakKb.push_back(static_cast<double>(counters.PeakWorkingSetSize) / 1024.0);
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(peakKb.begin(), peakKb.end());
    std::printf("%.1f %.0f\n", ms[ms.size() / 2], peakKb[peakKb.size() / 2]);
    return 0;
}
