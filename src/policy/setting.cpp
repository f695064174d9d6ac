#include <policy/setting.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include <portable/utf16.h>

namespace policy {

namespace {

using portable::RegHandle;

std::string Hex(const char* format, unsigned number) {
    char text[16];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

Setting Unreadable(std::int32_t code) { return {SettingKind::kUnreadable, 0, "", code}; }

bool IsText(std::uint32_t type) {
    return type == portable::kRegSz || type == portable::kRegExpandSz;
}

bool Unprintable(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || (c >= 0xD800 && c < 0xE000) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF ||
           c == 0xFFFE || c == 0xFFFF;
}

// The data as the user may see it: values come from outside the program, so nothing
// unprintable gets through and a long value is cut.
std::string Shown(std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    if (type == portable::kRegDword && bytes.size() == 4) {
        std::uint32_t number;
        std::memcpy(&number, bytes.data(), 4);  // little-endian, as REG_DWORD stores it
        return Hex("0x%x", number);
    }
    if (IsText(type)) {
        const std::u16string text = portable::FromLittleEndian(bytes.data(), bytes.size());
        std::string quoted(1, '"');
        quoted += Printable(std::u16string_view(text).substr(0, text.find(u'\0')), kShownLength);
        quoted += '"';
        return quoted;
    }
    std::string shown;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == kShownLength) {
            shown += "...";
            break;
        }
        shown += Hex(shown.empty() ? "%02x" : " %02x", bytes[i]);
    }
    return shown;
}

// The types a value is likely to have by name, the rare ones by number.
std::string TypeName(std::uint32_t type) {
    static const char* const kNames[] = {"REG_NONE",   "REG_SZ",      "REG_EXPAND_SZ",
                                         "REG_BINARY", "REG_DWORD",   "REG_DWORD_BIG_ENDIAN",
                                         "REG_LINK",   "REG_MULTI_SZ"};
    if (type < std::size(kNames)) return kNames[type];
    if (type == 11) return "REG_QWORD";
    return "type " + std::to_string(type);
}

}  // namespace

Setting ReadSetting(portable::RegistryApi& api, const PolicyValue& value) {
    RegHandle key = 0;
    const std::int32_t opened =
        api.OpenKey(portable::RootKeyHandle(portable::kHKeyLocalMachine), value.keyPath, &key);
    // As in the routines, the handle decides whether there is a key to read and close.
    if (key == 0) {
        if (opened == portable::kErrorFileNotFound) return {SettingKind::kDefault, 0, "", 0};
        return Unreadable(opened == portable::kErrorSuccess ? portable::kErrorInvalidHandle
                                                            : opened);
    }

    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    std::int32_t code = portable::kErrorMoreData;
    // Another program may make the value longer between the two calls: ask again, a few times.
    for (int attempt = 0; attempt < 3 && code == portable::kErrorMoreData; ++attempt) {
        std::uint32_t size = 0;
        code = api.QueryValue(key, value.name, &type, nullptr, &size);
        if (code != portable::kErrorSuccess) break;
        bytes.assign(size + 1, 0);  // never empty, so data() is a real buffer
        code = api.QueryValue(key, value.name, &type, bytes.data(), &size);
        bytes.resize(size);
    }
    api.CloseKey(key);

    if (code == portable::kErrorFileNotFound) return {SettingKind::kDefault, 0, "", 0};
    if (code != portable::kErrorSuccess) return Unreadable(code);
    return SettingOf(value, type, std::move(bytes));
}

Setting SettingOf(const PolicyValue& value, std::uint32_t type, std::vector<std::uint8_t> stored) {
    std::uint32_t number = 0;
    const bool dword = type == portable::kRegDword && stored.size() == 4;
    if (dword) std::memcpy(&number, stored.data(), 4);
    const bool inPlace = dword && number == value.inPlace;
    std::string shown = Shown(type, stored);
    return {inPlace ? SettingKind::kOff : SettingKind::kOther, type, std::move(shown), 0,
            std::move(stored)};
}

std::string Printable(std::u16string_view text, std::size_t limit) {
    std::string shown;
    std::size_t count = 0;
    for (const char32_t c : portable::CodePoints(text)) {
        if (count++ == limit) {
            shown += "...";
            break;
        }
        portable::AppendUtf8(shown, Unprintable(c) ? U'?' : c);
    }
    return shown;
}

std::string Briefly(const Setting& setting) {
    const bool number = setting.kind != SettingKind::kDefault &&
                        setting.type == portable::kRegDword && setting.data.starts_with("0x");
    return number ? setting.data : Holds(setting);
}

std::string ErrorText(std::int32_t code) {
    // The errors a registry call is likely to answer, in words short enough for one line.
    static constexpr std::pair<std::int32_t, const char*> kTexts[] = {
        {2, "not found"},
        {5, "access denied"},
        {6, "invalid handle"},
        {8, "not enough memory"},
        {87, "invalid parameter"},
        {234, "the value keeps changing"},
        {1009, "the registry is corrupt"},
        {1010, "invalid key"},
        {1011, "cannot open the key"},
        {1012, "cannot read the key"},
        {1013, "cannot write the key"},
        {1015, "the registry is corrupt"},
        {1018, "the key is being deleted"},
        {1450, "not enough resources"},
        {1453, "not enough resources"},
    };
    const char* text = "error";
    for (const auto& [number, words] : kTexts) {
        if (number == code) text = words;
    }
    return std::string(text) + " (" + std::to_string(code) + ")";
}

std::string Holds(const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::kDefault:
            return "absent";
        case SettingKind::kUnreadable:
            return ErrorText(setting.error);
        case SettingKind::kOff:
        case SettingKind::kOther:
            break;
    }
    std::string holds = TypeName(setting.type);
    if (!setting.data.empty()) holds += " " + setting.data;
    return holds;
}

std::string WindowText(const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::kOff:
            return "Now: AutoRun is off on all drives.";
        case SettingKind::kDefault:
            return "Now: Windows default.";
        case SettingKind::kUnreadable:
            return "Now: an unreadable setting.";
        case SettingKind::kOther:
            break;
    }
    // A number is shown as itself; anything else with its type, so "255" as text is not taken
    // for the number Explorer reads.
    return "Now: another setting (" + Briefly(setting) + ").";
}

std::string StatusLine(const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::kOff:
            return "off";
        case SettingKind::kDefault:
            return "default";
        case SettingKind::kUnreadable:
            return "unreadable: " + Holds(setting);
        case SettingKind::kOther:
            break;
    }
    return "other " + Holds(setting);
}

}  // namespace policy
