// Start-up time and memory of programs, compared under the same conditions: this one process
// starts them in alternating rounds (A, B, C, A, B, C, ...) after a warm-up round whose figures are
// dropped, so that a change in the machine's load falls on all of them alike and each round gives
// a paired comparison.
//
// A start is timed from CreateProcess until the program's window with the given caption is
// visible and the program has then gone idle: WaitForInputIdle returns once its GUI thread waits
// for input with nothing left to do, which is after the window's first WM_PAINT. The peak working
// set is read at that moment.
// A CAPTION that starts with "@" instead times a program without a window from CreateProcess
// to its exit, started with the rest of it as arguments ("@/status").
//   startup_bench.exe ROUNDS NAME PROGRAM CAPTION [NAME PROGRAM CAPTION...]
// Prints per program the median time with its quartiles and the median peak working set; then,
// for each program after the first, the median over the rounds of the first's time over that
// one's, with its quartiles.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kGiveUpMs = 30000;

struct Program {
    std::wstring name, path, caption;
    std::vector<double> ms, peakKiB;  // per round
};

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

double NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program once, ends it again and adds its figures to it; false, with the reason on
// stderr, if it never showed its window or never went idle.
bool StartOnce(Program& p) {
    const bool toExit = !p.caption.empty() && p.caption[0] == L'@';
    std::wstring command = L"\"" + p.path + L"\"" + (toExit ? L" " + p.caption.substr(1) : L"");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    // A program without a window writes its answer: to nowhere, so the figures stay readable.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE nul = toExit ? CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                            OPEN_EXISTING, 0, nullptr)
                              : INVALID_HANDLE_VALUE;
    if (nul != INVALID_HANDLE_VALUE) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = nul;
    }
    PROCESS_INFORMATION pi{};
    const double start = NowMs();
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr,
                                        nul != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) {
        std::fprintf(stderr, "cannot start %ls: error %lu\n", p.path.c_str(), GetLastError());
        return false;
    }
    if (toExit) {
        const bool ended = WaitForSingleObject(pi.hProcess, static_cast<DWORD>(kGiveUpMs)) == 0;
        p.ms.push_back(NowMs() - start);
        p.peakKiB.push_back(0);  // gone with the process
        if (!ended) TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (!ended) std::fprintf(stderr, "%ls: did not end\n", p.name.c_str());
        return ended;
    }
    Search search{pi.dwProcessId, p.caption.c_str(), false};
    // Polled every millisecond; the wait on the process doubles as the pause and notices an end.
    while (NowMs() - start < kGiveUpMs && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
        if (search.found || WaitForSingleObject(pi.hProcess, 1) != WAIT_TIMEOUT) break;
    }
    const bool idle =
        search.found && WaitForInputIdle(pi.hProcess, static_cast<DWORD>(kGiveUpMs)) == 0;
    const double ms = NowMs() - start;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!idle) {
        std::fprintf(stderr, "%ls: %s\n", p.name.c_str(),
                     search.found ? "never went idle" : "no window captioned as expected");
        return false;
    }
    p.ms.push_back(ms);
    p.peakKiB.push_back(static_cast<double>(counters.PeakWorkingSetSize) / 1024.0);
    return true;
}

// The q-quantile, interpolated between the nearest ranks.
double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double pos = q * static_cast<double>(v.size() - 1);
    const auto i = static_cast<std::size_t>(pos);
    const double next = i + 1 < v.size() ? v[i + 1] : v[i];
    return v[i] + (pos - std::floor(pos)) * (next - v[i]);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 0;
    if (rounds < 1 || argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(stderr, "usage: startup_bench ROUNDS NAME PROGRAM CAPTION [...]\n");
        return 2;
    }
    std::vector<Program> programs;
    for (int i = 2; i < argc; i += 3) {
        programs.push_back({argv[i], argv[i + 1], argv[i + 2], {}, {}});
    }

    for (int round = -1; round < rounds; ++round) {
        for (Program& p : programs) {
            if (!StartOnce(p)) return 1;
        }
        if (round < 0) {  // the warm-up: loads the files and starts Wine's services
            for (Program& p : programs) {
                p.ms.clear();
                p.peakKiB.clear();
            }
        }
    }

    std::printf("%-16s %9s  %-18s %s\n", "", "median", "quartiles", "peak working set");
    for (const Program& p : programs) {
        std::printf("%-16ls %6.1f ms  %6.1f - %6.1f ms", p.name.c_str(), Quantile(p.ms, 0.5),
                    Quantile(p.ms, 0.25), Quantile(p.ms, 0.75));
        if (const double kib = Quantile(p.peakKiB, 0.5)) std::printf("  %6.0f KiB", kib);
        std::printf("\n");
    }
    const Program& first = programs.front();
    for (std::size_t k = 1; k < programs.size(); ++k) {
        std::vector<double> ratios;
        for (int r = 0; r < rounds; ++r) ratios.push_back(first.ms[r] / programs[k].ms[r]);
        const std::wstring label = first.name + L" / " + programs[k].name;
        std::printf("%-30ls %5.2f  (quartiles %.2f - %.2f)\n", label.c_str(), Quantile(ratios, 0.5),
                    Quantile(ratios, 0.25), Quantile(ratios, 0.75));
    }
    return 0;
}
