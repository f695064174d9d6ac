// One small owner per kind of Windows handle, so every handle is given back on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename Handle, typename Traits>
class Scoped {
  public:
    Scoped() = default;
    explicit Scoped(Handle h) : h_(h) {}
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.h_, Handle{}));
        return *this;
    }
    ~Scoped() { Reset(); }

    Handle Get() const { return h_; }
    Handle* Receive() {
        Reset();
        return &h_;
    }
    Handle Release() { return std::exchange(h_, Handle{}); }
    void Reset(Handle h = Handle{}) {
        if (h_) Traits::Close(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ != Handle{}; }

  private:
    Handle h_{};
};

struct HkeyTraits {
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct GdiObjectTraits {
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct MemoryDcTraits {
    static void Close(HDC h) { DeleteDC(h); }
};
struct KernelHandleTraits {
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct EventSourceTraits {
    static void Close(HANDLE h) { DeregisterEventSource(h); }
};
struct LocalMemoryTraits {
    static void Close(HLOCAL h) { LocalFree(h); }
};

using ScopedHkey = Scoped<HKEY, HkeyTraits>;
using ScopedGdiObject = Scoped<HGDIOBJ, GdiObjectTraits>;
using ScopedMemoryDc = Scoped<HDC, MemoryDcTraits>;
using ScopedHandle = Scoped<HANDLE, KernelHandleTraits>;
using ScopedEventSource = Scoped<HANDLE, EventSourceTraits>;
using ScopedLocalMemory = Scoped<HLOCAL, LocalMemoryTraits>;

// A DC from GetDC, given back with ReleaseDC on the same window.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace win32
