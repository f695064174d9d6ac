#include <win32/console_output.h>

#include <windows.h>

#include <win32/scoped_handles.h>
#include <win32/text.h>

namespace win32 {

void WriteOutput(const std::string& text) {
    std::string lines;
    for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    lines += "\r\n";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    ScopedHandle console;
    // A windows program has no standard output of its own unless its caller gave it one.
    if (!out || out == INVALID_HANDLE_VALUE || GetFileType(out) == FILE_TYPE_UNKNOWN) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        console.Reset(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        if (console.Get() == INVALID_HANDLE_VALUE) {
            console.Release();
            return;
        }
        out = console.Get();
    }
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console shows UTF-16 whatever its code page: names from a policy object stay whole.
        const std::wstring wide = Wide(lines);
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

}  // namespace win32
