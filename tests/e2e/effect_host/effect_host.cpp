// Shows the effect window on its own, as the information window does, with the preset given on
// the command line, and ends when the effect has ended:
//   tessaro_effect_host.exe PRESET [--check-repaint]
// Exit codes: 0 the effect ended and unloaded its window, 2 bad arguments, 3 the window's global
// reference survived the effect, 4 the repaint check failed (details on stdout).
// The window carries the number of passes the loop has made in its property
// "TessaroEffectPasses", brought up to date every 10 ms.
// --check-repaint looks at the window from inside the loop, where it stands still: once the
// blocks have moved, an area repainted must show the screen as captured, and only that area.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frmGraphics/frmGraphics.h"
#include "win32/app.h"
#include "win32/scoped_handles.h"

win32::FormPtr<tessaro::frmGraphics> g_effect;

namespace {

using win32::ScopedGdiObject;
using win32::ScopedMemoryDc;
using win32::SelectedObject;
using win32::WindowDc;

// Runs from the effect loop's message dispatch, like every timer of this program.
void CALLBACK PublishPasses(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_effect) return;
    const tessaro::frmGraphics& effect = *g_effect;
    if (const HWND hwnd = effect.hWnd()) {
        SetPropW(hwnd, L"TessaroEffectPasses",
                 reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(effect.Iterations())));
    }
}

// Pixels of a rectangle of a window's DC (null: the screen), 0x00RRGGBB.
std::vector<std::uint32_t> Read(HWND hwnd, const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
    WindowDc source(hwnd);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    ScopedGdiObject bitmap(
        CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDc dc(CreateCompatibleDC(source.Get()));
    if (!bitmap || !dc) return {};
    {
        SelectedObject selected(dc.Get(), bitmap.Get());
        BitBlt(dc.Get(), 0, 0, w, h, source.Get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    std::memcpy(pixels.data(), bits, pixels.size() * 4);
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

size_t Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size() || a.empty()) return SIZE_MAX;
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// The repainted area and a band of the same size beside it that is left alone.
constexpr RECT kRepainted{256, 192, 512, 448};
constexpr RECT kBeside{512, 192, 768, 448};

struct RepaintCheck {
    std::vector<std::uint32_t> desktopRepainted, desktopBeside;
    int ticks = 0;
    bool passed = false;
};
RepaintCheck g_check;

// The loop waits while this looks.
void CALLBACK CheckRepaint(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_effect) return;
    const HWND effect = g_effect->hWnd();
    if (!effect) return;
    const size_t movedHere = Differences(Read(effect, kRepainted), g_check.desktopRepainted);
    const size_t movedBeside = Differences(Read(effect, kBeside), g_check.desktopBeside);
    // Give the blocks time to move in both areas first (a few hundred passes are plenty).
    if ((movedHere == 0 || movedBeside == 0) && ++g_check.ticks < 100) return;
    KillTimer(nullptr, timer);

    InvalidateRect(effect, &kRepainted, FALSE);
    UpdateWindow(effect);
    const size_t afterHere = Differences(Read(effect, kRepainted), g_check.desktopRepainted);
    const size_t afterBeside = Differences(Read(effect, kBeside), g_check.desktopBeside);
    std::printf("moved before the repaint: %zu here, %zu beside; after: %zu here, %zu beside\n",
                movedHere, movedBeside, afterHere, afterBeside);
    g_check.passed = movedHere > 0 && movedBeside > 0 && afterHere == 0 && afterBeside > 0;
    PostMessageW(effect, WM_CHAR, 'q', 0);
}

}  // namespace

int main(int argc, char** argv) {
    // As the program's manifest asks: window sizes in real pixels at any DPI.
    using SetAwareness = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const FARPROC proc =
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")) {
        reinterpret_cast<SetAwareness>(reinterpret_cast<void (*)()>(proc))(
            DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PRESET [--check-repaint]\n", argv[0]);
        return 2;
    }
    SetTimer(nullptr, 0, 10, PublishPasses);
    const bool checkRepaint = argc > 2 && std::strcmp(argv[2], "--check-repaint") == 0;
    if (checkRepaint) {
        g_check.desktopRepainted = Read(nullptr, kRepainted);
        g_check.desktopBeside = Read(nullptr, kBeside);
        SetTimer(nullptr, 0, 50, CheckRepaint);
    }

    win32::RunHandler([&] {
        g_effect = win32::MakeForm<tessaro::frmGraphics>(
            static_cast<std::int16_t>(std::atoi(argv[1])), [] { g_effect.reset(); });
        g_effect->Show(1);
    });
    std::fflush(stdout);
    if (g_effect) return 3;
    if (checkRepaint && !g_check.passed) return 4;
    return 0;
}
