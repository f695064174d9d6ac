// What a policy value holds now, for the main window's label and for the command line. Reading
// it writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <portable/registry_api.h>

namespace policy {

// A machine-wide policy value under HKEY_LOCAL_MACHINE that switches something off when it is a
// REG_DWORD holding exactly `inPlace`.
struct PolicyValue {
    const char* keyPath;
    const char* name;
    std::uint32_t inPlace;
};

inline constexpr const char* kPolicyKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
// AutoRun off for every drive type: what the window and /disable write.
inline constexpr PolicyValue kNoDriveTypeAutoRun{kPolicyKeyPath, "NoDriveTypeAutoRun", 255};

enum class SettingKind {
    kOff,         // a REG_DWORD of four bytes holding exactly the value's `inPlace`
    kDefault,     // the key or the value is not there
    kOther,       // anything else that could be read
    kUnreadable,  // the key or the value could not be read; `error` says why
};

struct Setting {
    SettingKind kind = SettingKind::kDefault;
    std::uint32_t type = 0;  // the value's registry type, when it was read
    // Short and printable: "0x91" for a REG_DWORD of four bytes, the text in quotes for REG_SZ
    // and REG_EXPAND_SZ, hex bytes ("01 02") for anything else.
    std::string data;
    std::int32_t error = 0;  // the Windows error of a failed read
    // The data whole, as stored (text in UTF-16LE, as the registry keeps it): what a record of
    // the change needs to put the value back exactly.
    std::vector<std::uint8_t> stored = {};
};

// How many characters of text, or bytes of anything else, Setting::data shows before "...".
inline constexpr std::size_t kShownLength = 16;

// Closes every key it opens. Text is read as stored (the registry's wide functions), so what an
// auditor sees is what Explorer sees.
Setting ReadSetting(portable::RegistryApi& api, const PolicyValue& value = kNoDriveTypeAutoRun);

// A value of `type` holding `stored`, judged as ReadSetting judges what it reads.
Setting SettingOf(const PolicyValue& value, std::uint32_t type, std::vector<std::uint8_t> stored);

// Text from outside the program made safe for one line, in UTF-8: characters that are not
// printable (controls, direction overrides, unpaired surrogates) become '?', and more than
// `limit` characters end in "...".
std::string Printable(std::u16string_view text, std::size_t limit);

// A Windows error as a line shows it: "access denied (5)".
std::string ErrorText(std::int32_t code);

// What the value holds, for a line: "absent", "REG_SZ \"1\"", "REG_DWORD 0xff",
// "access denied (5)".
std::string Holds(const Setting& setting);

// The number alone for a REG_DWORD that holds one ("0x91"), Holds() for anything else.
std::string Briefly(const Setting& setting);

// The main window's label, e.g. "Now: Windows default.".
std::string WindowText(const Setting& setting);

// One line for /status: "off", "default", "other REG_SZ \"255\"" or
// "unreadable: access denied (5)".
std::string StatusLine(const Setting& setting);

}  // namespace policy
