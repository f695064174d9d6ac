#include "frmAbout/about_media.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

namespace frmAbout {

namespace {

// Releases a COM interface pointer at the end of a scope.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Receive() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

// COM for the length of one picture load; balanced even when COM was already up.
class ComScope {
  public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (ok_) CoUninitialize();
    }

  private:
    bool ok_;
};

// The system's own winmm, loaded for the one call: no import of it at start, and no copy of
// it from the program's folder.
class Winmm {
  public:
    Winmm() : module_(LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
    Winmm(const Winmm&) = delete;
    Winmm& operator=(const Winmm&) = delete;
    ~Winmm() {
        if (module_) FreeLibrary(module_);
    }

    using PlaySoundWFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    PlaySoundWFn PlaySoundW() const {
        if (!module_) return nullptr;
        // Through void(*)() so the compiler accepts the change of function type.
        return reinterpret_cast<PlaySoundWFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_, "PlaySoundW")));
    }

  private:
    HMODULE module_;
};

// Values from mmsystem.h, which comes with the import we avoid.
constexpr DWORD kSndSync = 0x0000;
constexpr DWORD kSndNoDefault = 0x0002;
constexpr DWORD kSndFilename = 0x00020000;

}  // namespace

std::wstring AnsiReadablePath(const std::wstring& path) {
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr,
                        &lossy);
    if (!lossy) return path;
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return path;  // missing file: its reader reports that in its own way
    std::wstring shortPath(needed, L'\0');
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (n == 0 || n >= needed) return path;
    shortPath.resize(n);
    return shortPath;
}

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP LoadGifResource(int id) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (!info) return nullptr;
    const DWORD size = SizeofResource(module, info);
    const HGLOBAL resource = LoadResource(module, info);
    const void* data = resource ? LockResource(resource) : nullptr;
    if (!data || size == 0) return nullptr;

    // The stream takes the copy and frees it when it is released.
    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    void* target = GlobalLock(copy);
    if (!target) {
        GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(copy);

    ComScope com;
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.Receive()))) {
        GlobalFree(copy);
        return nullptr;
    }
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.Receive())))) {
        return nullptr;
    }
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Handle(&handle)) || handle == 0) return nullptr;
    // The picture owns its bitmap and deletes it on release: keep a copy of our own.
    return static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void PlaySoundFile(const std::wstring& path) {
    const Winmm winmm;
    if (const auto play = winmm.PlaySoundW()) {
        play(AnsiReadablePath(path).c_str(), nullptr, kSndFilename | kSndSync | kSndNoDefault);
    }
}

}  // namespace frmAbout
