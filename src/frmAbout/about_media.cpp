#include <frmAbout/about_media.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include <win32/system_library.h>

namespace about {

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

// The picture loader from the system folder, for the length of one picture load. COM is up on
// this thread already, for the program's life.
class PictureLoader {
  public:
    PictureLoader()
        : ole32_(L"ole32.dll"),
          oleaut32_(L"oleaut32.dll"),
          createStream_(
              ole32_.Function<HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**)>("CreateStreamOnHGlobal")),
          loadPicture_(oleaut32_.Function<HRESULT(WINAPI*)(IStream*, LONG, BOOL, REFIID, void**)>(
              "OleLoadPicture")) {}
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    bool Ready() const { return createStream_ && loadPicture_; }
    HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL owns, IStream** stream) const {
        return createStream_(memory, owns, stream);
    }
    HRESULT OleLoadPicture(IStream* stream, LONG size, BOOL keep, REFIID iid, void** out) const {
        return loadPicture_(stream, size, keep, iid, out);
    }

  private:
    win32::SystemLibrary ole32_;
    win32::SystemLibrary oleaut32_;
    HRESULT(WINAPI* createStream_)(HGLOBAL, BOOL, IStream**);
    HRESULT(WINAPI* loadPicture_)(IStream*, LONG, BOOL, REFIID, void**);
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

    const PictureLoader loader;
    if (!loader.Ready()) {
        GlobalFree(copy);
        return nullptr;
    }
    ComPtr<IStream> stream;
    if (FAILED(loader.CreateStreamOnHGlobal(copy, TRUE, stream.Receive()))) {
        GlobalFree(copy);
        return nullptr;
    }
    ComPtr<IPicture> picture;
    if (FAILED(loader.OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
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
    // The system's own winmm, loaded for the one call.
    const win32::SystemLibrary winmm(L"winmm.dll");
    using PlaySoundFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    if (const auto play = winmm.Function<PlaySoundFn>("PlaySoundW")) {
        play(AnsiReadablePath(path).c_str(), nullptr, kSndFilename | kSndSync | kSndNoDefault);
    }
}

}  // namespace about
