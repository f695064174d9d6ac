#include <program_start.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <exception>

// The stack protector's canary and its failure. Defined here, these replace GCC's libssp, whose
// start-up seeds the canary through CryptoAPI: that loads a cryptographic provider (rsaenh, with
// crypt32 and bcrypt) into every start of the program, a few milliseconds before the first window.
extern "C" {

void* __stack_chk_guard = nullptr;

[[noreturn]] void __stack_chk_fail() {
    static const char message[] = "*** stack smashing detected ***: terminated\n";
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, sizeof message - 1, &written, nullptr);
    // As Windows' own programs end on a damaged stack: no handler, no unwinding through it.
    asm volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE));
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // extern "C"

// What an exception that no barrier caught ends with. The C++ library's own handler writes the
// exception's demangled type to standard error, which a window program has not got, and brings
// the whole demangler (about 50 KB) into the program for it; this one takes its place.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace tessaro {

namespace {

// From a DLL of the system folder, loaded already or loaded from there.
template <typename F>
__attribute__((no_stack_protector)) F SystemFunction(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    if (!loaded) loaded = LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

}  // namespace

__attribute__((no_stack_protector)) void PrepareProcess() {
    // A DLL planted beside the program must never be loaded, so every later load searches the
    // system folder only; first, because RtlGenRandom is forwarded to another DLL on some
    // versions of Windows. Looked up rather than imported: an unpatched Windows 7 lacks it.
    if (const auto set =
            SystemFunction<BOOL(WINAPI*)(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories")) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // The system's random source, RtlGenRandom, without a CryptoAPI provider.
    std::uintptr_t canary = 0;
    if (const auto random =
            SystemFunction<BOOLEAN(WINAPI*)(void*, ULONG)>(L"advapi32.dll", "SystemFunction036")) {
        random(&canary, sizeof canary);
    }
    if (canary == 0) {  // no random source: what varies between starts, as a last resort
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        canary = static_cast<std::uintptr_t>(counter.QuadPart) ^
                 static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16 ^
                 reinterpret_cast<std::uintptr_t>(&counter) ^ GetTickCount();
    }
    __stack_chk_guard = reinterpret_cast<void*>(canary | 1);  // never the unset value
}

}  // namespace tessaro
