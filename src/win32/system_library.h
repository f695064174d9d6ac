// A system DLL loaded at run time from the system folder only. The program imports statically
// only DLLs that Windows always takes from its own folder; everything else comes through here, so
// a DLL of the same name planted beside the program (often in a Downloads folder, and the
// program runs elevated) is never loaded.
#pragma once

#include <windows.h>

namespace win32 {

class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* name)
        : module_(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;
    ~SystemLibrary() {
        if (module_) FreeLibrary(module_);
    }

    // The function, or null when the library or the function is missing.
    template <typename F>
    F Function(const char* name) const {
        if (!module_) return nullptr;
        // Through void(*)() so the compiler accepts the change of function type.
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_;
};

}  // namespace win32
