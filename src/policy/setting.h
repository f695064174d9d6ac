// What the AutoRun policy holds now, for the main window's label and for `tessaro.exe /status`.
// Reading it writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "portable/registry_api.h"

namespace policy {

enum class SettingKind { kOff, kDefault, kOther };

struct Setting {
    SettingKind kind;
    std::uint32_t type;  // the value's registry type; REG_NONE when no value could be read
    // Short and printable: "0x91" for a REG_DWORD of four bytes, the text for REG_SZ and
    // REG_EXPAND_SZ, hex bytes ("01 02") for anything else, "(error 5)" when the read failed.
    std::string data;
};

// How many characters of text, or bytes of anything else, Setting::data shows before "...".
inline constexpr std::size_t kShownLength = 16;

// Off only for a REG_DWORD of exactly four bytes holding 255; the default only when the key or
// the value is not found. Anything else, a key that does not open for another reason included,
// is another setting. Closes every key it opens.
Setting ReadSetting(portable::RegistryApi& api);

// The main window's label, e.g. "Now: Windows default.".
std::string WindowText(const Setting& setting);

// One line for the command line: "off", "default", or "other" with the type and the data.
std::string StatusLine(const Setting& setting);

}  // namespace policy
