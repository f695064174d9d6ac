#include <policy/registry_routines.h>

#include <cstring>
#include <vector>

#include <portable/numeric.h>
#include <portable/utf16.h>

namespace policy {

using portable::RegHandle;
using portable::RootKeyHandle;

namespace {

std::string TrimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

void RegistryRoutines::regDelete_Sub_Key(std::int32_t lngRootKey, std::string strRegKeyPath,
                                         std::string strRegSubKey) {
    if (!regDoes_Key_Exist(lngRootKey, strRegKeyPath)) return;
    RegHandle handle = 0;
    lngRegResult = api_.OpenKey(RootKeyHandle(lngRootKey), strRegKeyPath, &handle);
    lngRegResult = api_.DeleteValue(handle, strRegSubKey);
    lngRegResult = api_.CloseKey(handle);
}

bool RegistryRoutines::regDoes_Key_Exist(std::int32_t lngRootKey, std::string strRegKeyPath) {
    RegHandle handle = 0;
    lngRegResult = api_.OpenKey(RootKeyHandle(lngRootKey), strRegKeyPath, &handle);
    const bool exists = handle != 0;
    lngRegResult = api_.CloseKey(handle);
    return exists;
}

portable::Variant RegistryRoutines::regQuery_A_Key(std::int32_t lngRootKey,
                                                   std::string strRegKeyPath,
                                                   std::string strRegSubKey) {
    RegHandle handle = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    lngRegResult = api_.OpenKey(RootKeyHandle(lngRootKey), strRegKeyPath, &handle);
    if (handle == 0) {
        lngRegResult = api_.CloseKey(handle);
        return std::string();
    }

    // The probe's code is not judged: a missing value reports no type and ends below as "".
    lngRegResult = api_.QueryValue(handle, strRegSubKey, &type, nullptr, &size);

    portable::Variant result = std::string();
    if (type == portable::kRegSz) {
        const std::size_t made = size;
        // One spare byte so that a value of size 0 still gets a real buffer to point at.
        std::vector<std::uint8_t> buffer(made + 1, ' ');
        std::uint32_t readType = 0;
        lngRegResult = api_.QueryValue(handle, strRegSubKey, &readType, buffer.data(), &size);
        if (lngRegResult == portable::kErrorSuccess) {
            // The text ends at the first NUL, or with the buffer when the value was stored
            // without one. Values of any length are read; their content is not ours to limit.
            const std::u16string text = portable::FromLittleEndian(buffer.data(), made);
            result = portable::ToUtf8(std::u16string_view(text).substr(0, text.find(u'\0')));
        }
    } else if (type == portable::kRegDword) {
        std::int32_t number = 0;
        std::uint32_t numberSize = 4;
        lngRegResult = api_.QueryValue(handle, strRegSubKey, &type,
                                       reinterpret_cast<std::uint8_t*>(&number), &numberSize);
        // A REG_DWORD of another size holds no 32-bit number; Explorer does not take it either.
        if (lngRegResult == portable::kErrorSuccess && numberSize == 4) result = number;
    }

    lngRegResult = api_.CloseKey(handle);
    return result;
}

void RegistryRoutines::regCreate_Key_Value(std::int32_t lngRootKey, std::string strRegKeyPath,
                                           std::string strRegSubKey, portable::Variant varRegData) {
    // Decide the type and convert before any registry call, so that a number out of range
    // raises its overflow without leaving a key created or a handle open.
    const bool asNumber = portable::IsNumeric(varRegData);
    std::int32_t number = 0;
    std::vector<std::uint8_t> text;
    if (asNumber) {
        number = portable::CLng(portable::ToDouble(varRegData));
    } else {
        // Stored as the registry keeps text: UTF-16 with its NUL.
        text = portable::ToLittleEndian(
            portable::FromUtf8(TrimSpaces(portable::ToText(varRegData))) + u'\0');
    }

    RegHandle handle = 0;
    lngRegResult = api_.CreateKey(RootKeyHandle(lngRootKey), strRegKeyPath, &handle);
    if (asNumber) {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &number, sizeof bytes);  // little-endian, as REG_DWORD stores it
        lngRegResult = api_.SetValue(handle, strRegSubKey, portable::kRegDword, bytes, 4);
    } else {
        lngRegResult = api_.SetValue(handle, strRegSubKey, portable::kRegSz, text.data(),
                                     static_cast<std::uint32_t>(text.size()));
    }
    lngRegResult = api_.CloseKey(handle);
}

void RegistryRoutines::regCreate_A_Key(std::int32_t lngRootKey, std::string strRegKeyPath) {
    RegHandle handle = 0;
    lngRegResult = api_.CreateKey(RootKeyHandle(lngRootKey), strRegKeyPath, &handle);
    lngRegResult = api_.CloseKey(handle);
}

bool RegistryRoutines::regDelete_A_Key(std::int32_t lngRootKey, std::string strRegKeyPath,
                                       std::string strRegKeyName) {
    bool deleted = false;
    if (regDoes_Key_Exist(lngRootKey, strRegKeyPath)) {
        RegHandle handle = 0;
        lngRegResult = api_.OpenKey(RootKeyHandle(lngRootKey), strRegKeyPath, &handle);
        lngRegResult = api_.DeleteKey(handle, strRegKeyName);
        if (lngRegResult == portable::kErrorSuccess) deleted = true;
        lngRegResult = api_.CloseKey(handle);
    }
    return deleted;
}

}  // namespace policy
