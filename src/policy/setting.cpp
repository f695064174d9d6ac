#include "policy/setting.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "policy/autorun_switch.h"

namespace policy {

namespace {

using portable::RegHandle;

constexpr std::uint32_t kOffValue = 255;

std::string Hex(const char* format, unsigned number) {
    char text[16];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

Setting Unreadable(std::int32_t code) {
    return {SettingKind::kOther, portable::kRegNone, "(error " + std::to_string(code) + ")"};
}

// The data as the user may see it: values come from outside the program, so nothing
// unprintable gets through and a long value is cut.
std::string Shown(std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    if (type == portable::kRegDword && bytes.size() == 4) {
        std::uint32_t number;
        std::memcpy(&number, bytes.data(), 4);  // little-endian, as REG_DWORD stores it
        return Hex("0x%x", number);
    }
    const bool text = type == portable::kRegSz || type == portable::kRegExpandSz;
    std::string shown;
    std::size_t count = 0;
    for (const std::uint8_t byte : bytes) {
        if (text && byte == 0) break;
        if (count++ == kShownLength) return shown + "...";
        if (text) {
            shown.push_back(byte >= 0x20 && byte < 0x7f ? static_cast<char>(byte) : '?');
        } else {
            shown += Hex(shown.empty() ? "%02x" : " %02x", byte);
        }
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

Setting ReadSetting(portable::RegistryApi& api) {
    RegHandle key = 0;
    const std::int32_t opened =
        api.OpenKey(portable::RootKeyHandle(portable::kHKeyLocalMachine), kPolicyKeyPath, &key);
    // As in the routines, the handle decides whether there is a key to read and close.
    if (key == 0) {
        if (opened == portable::kErrorFileNotFound) return {SettingKind::kDefault, 0, ""};
        return Unreadable(opened);
    }

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::int32_t code = api.QueryValue(key, kPolicyValueName, &type, nullptr, &size);
    std::vector<std::uint8_t> bytes(size + 1);  // never empty, so data() is a real buffer
    if (code == portable::kErrorSuccess) {
        code = api.QueryValue(key, kPolicyValueName, &type, bytes.data(), &size);
        bytes.resize(size);
    }
    api.CloseKey(key);

    if (code == portable::kErrorFileNotFound) return {SettingKind::kDefault, 0, ""};
    if (code != portable::kErrorSuccess) return Unreadable(code);
    std::uint32_t number = 0;
    if (type == portable::kRegDword && bytes.size() == 4) std::memcpy(&number, bytes.data(), 4);
    const bool off = type == portable::kRegDword && bytes.size() == 4 && number == kOffValue;
    return {off ? SettingKind::kOff : SettingKind::kOther, type, Shown(type, bytes)};
}

std::string WindowText(const Setting& setting) {
    if (setting.kind == SettingKind::kOff) return "Now: AutoRun is off on all drives.";
    if (setting.kind == SettingKind::kDefault) return "Now: Windows default.";
    // Only a REG_DWORD of four bytes has a number to show, and only it is shown as "0x...".
    if (setting.type == portable::kRegDword && setting.data.rfind("0x", 0) == 0) {
        return "Now: another setting (" + setting.data + ").";
    }
    return "Now: an unreadable setting.";
}

std::string StatusLine(const Setting& setting) {
    if (setting.kind == SettingKind::kOff) return "off";
    if (setting.kind == SettingKind::kDefault) return "default";
    std::string line = "other " + TypeName(setting.type);
    if (!setting.data.empty()) line += " " + setting.data;
    return line;
}

}  // namespace policy
