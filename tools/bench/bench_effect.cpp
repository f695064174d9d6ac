// Passes per second of the desktop effect's loop, against a bare loop of the same work: one
// 128 x 128 BitBlt within a full-screen window, then the dispatch of pending messages. Both run in
// this one process, in alternating rounds, so that they share the machine's state.
//   tessaro_bench_effect.exe [SECONDS_PER_ROUND [ROUNDS]]     (default: 1 second, 10 rounds)
// Each rate is measured between two ticks of a thread timer, which both loops dispatch, so the
// start-up (the window, the screen capture) and the end are not counted.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <frmGraphics/frmGraphics.h>
#include <win32/app.h>
#include <win32/message_loop.h>
#include <win32/scoped_handles.h>

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Time this thread has spent on a processor. Other programs on a busy machine take the
// processor away from both loops unevenly, but not this.
double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return value(kernel) + value(user);
}

// What a round measures: the passes counted between its first and last timer tick.
struct Round {
    double seconds = 0;  // wanted length
    bool started = false;
    double t0 = 0, t1 = 0, cpu0 = 0, cpu1 = 0;
    std::uint64_t n0 = 0, n1 = 0;
    double Rate() const { return t1 > t0 ? static_cast<double>(n1 - n0) / (t1 - t0) : 0.0; }
    double CpuRate() const {
        return cpu1 > cpu0 ? static_cast<double>(n1 - n0) / (cpu1 - cpu0) : 0.0;
    }
};

Round g_round;
std::uint64_t (*g_passes)() = nullptr;
void (*g_stop)() = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    const std::uint64_t n = g_passes();
    if (n == 0) return;  // the loop has not begun
    const double t = Now();
    if (!g_round.started) {
        g_round.started = true;
        g_round.t0 = t;
        g_round.cpu0 = ThreadSeconds();
        g_round.n0 = n;
        return;
    }
    if (t - g_round.t0 < g_round.seconds) return;
    g_round.t1 = t;
    g_round.cpu1 = ThreadSeconds();
    g_round.n1 = n;
    KillTimer(nullptr, timer);
    g_stop();
}

void StartRound(double seconds) {
    // The window of the last round was the program's last, and the window layer then asks the
    // thread to quit. Left in the queue, that request makes every message dispatch return at
    // once, before the timer could stop the round.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    g_round = Round{};
    g_round.seconds = seconds;
    SetTimer(nullptr, 0, 10, Tick);
}

// ---- The real effect ------------------------------------------------------------------------

win32::FormPtr<tessaro::frmGraphics> g_effect;

Round EffectRound(double seconds) {
    g_passes = [] { return g_effect ? g_effect->Iterations() : std::uint64_t{0}; };
    // A key press, as a user ends it.
    g_stop = [] { PostMessageW(g_effect->hWnd(), WM_CHAR, 'q', 0); };
    StartRound(seconds);
    win32::RunHandler([] {
        g_effect = win32::MakeForm<tessaro::frmGraphics>(0, [] { g_effect.reset(); });
        g_effect->Show(1);
    });
    return g_round;
}

// ---- The bare loop ----------------------------------------------------------------------------

bool g_bareRunning = false;
std::uint64_t g_barePasses = 0;

Round BareRound(double seconds) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"TessaroBareLoop";
        return RegisterClassW(&wc);
    }();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HWND hwnd =
        CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, width, height,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    {
        const win32::WindowDc screen(nullptr);
        const win32::WindowDc window(hwnd);
        BitBlt(window.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
        ValidateRect(hwnd, nullptr);

        g_passes = [] { return g_barePasses; };
        g_stop = [] { g_bareRunning = false; };
        g_barePasses = 0;
        g_bareRunning = true;
        StartRound(seconds);
        // The same spread of blocks as the effect's preset 0, from a cheaper generator.
        std::uint32_t state = GetTickCount() | 1;
        const auto next = [&state](std::uint32_t below) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            return static_cast<int>(state % below);
        };
        while (g_bareRunning) {
            const int x = next(static_cast<std::uint32_t>(width - 128 + 1));
            const int y = next(static_cast<std::uint32_t>(height - 128 + 1));
            const HDC dc = window.Get();
            BitBlt(dc, x + next(3) - 1, y + next(3) - 1, 128, 128, dc, x, y, SRCCOPY);
            ++g_barePasses;
            win32::DoEvents();
        }
    }
    DestroyWindow(hwnd);
    return g_round;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    if (seconds <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: %s [SECONDS_PER_ROUND [ROUNDS]]\n", argv[0]);
        return 2;
    }
    // Medians over many short alternating rounds: a busy machine slows some rounds of either kind
    // a lot, and the two rounds of one pair see much the same load.
    std::vector<double> bare, effect, ratio, bareCpu, effectCpu, ratioCpu;
    for (int i = 0; i < rounds; ++i) {
        const Round b = BareRound(seconds);
        const Round e = EffectRound(seconds);
        bare.push_back(b.Rate());
        effect.push_back(e.Rate());
        ratio.push_back(b.Rate() > 0 ? e.Rate() / b.Rate() : 0.0);
        bareCpu.push_back(b.CpuRate());
        effectCpu.push_back(e.CpuRate());
        ratioCpu.push_back(b.CpuRate() > 0 ? e.CpuRate() / b.CpuRate() : 0.0);
        std::printf(
            "round %2d: bare loop %6.0f, effect %6.0f passes/s: ratio %.3f"
            "   (per CPU second: %6.0f, %6.0f: %.3f)\n",
            i + 1, bare.back(), effect.back(), ratio.back(), bareCpu.back(), effectCpu.back(),
            ratioCpu.back());
        std::fflush(stdout);
    }
    std::printf(
        "median:   bare loop %6.0f, effect %6.0f passes/s: ratio %.3f"
        "   (per CPU second: %6.0f, %6.0f: %.3f)\n",
        Median(bare), Median(effect), Median(ratio), Median(bareCpu), Median(effectCpu),
        Median(ratioCpu));
    return Median(bare) > 0 && Median(effect) > 0 ? 0 : 1;
}
