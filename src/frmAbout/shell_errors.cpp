#include <frmAbout/shell_errors.h>

#include <limits>

namespace about {

namespace {

// The last code that still means failure.
constexpr std::int32_t kLastFailureCode = 32;

const char* KnownFailure(std::int32_t code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Path not found";
        case 5:
            return "Access denied";
        case 8:
            return "Out of memory";
        case 11:
            return "Invalid EXE file or error in EXE image";
        case 26:
            return "A sharing violation occurred";
        case 27:
            return "Incomplete or invalid file association";
        case 28:
            return "DDE Time out";
        case 29:
            return "DDE transaction failed";
        case 30:
            return "DDE busy";
        case 31:
            return "No association for file extension";
        case 32:
            return "DLL not found";
        default:
            return "Unknown error";
    }
}

}  // namespace

std::int32_t ShellResultCode(std::intptr_t shellResult) {
    if (shellResult > kLastFailureCode) {
        return shellResult > std::numeric_limits<std::int32_t>::max()
                   ? std::numeric_limits<std::int32_t>::max()
                   : static_cast<std::int32_t>(shellResult);
    }
    // Failures keep their sign; one below the 32-bit range is still a failure.
    return shellResult < std::numeric_limits<std::int32_t>::min()
               ? std::numeric_limits<std::int32_t>::min()
               : static_cast<std::int32_t>(shellResult);
}

std::optional<std::string> ShellFailureText(std::int32_t code) {
    if (code > kLastFailureCode) return std::nullopt;
    return std::string(KnownFailure(code));
}

}  // namespace about
