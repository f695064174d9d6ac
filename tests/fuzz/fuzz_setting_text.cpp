// The text a setting shows, in the window and in /status, made from whatever the registry
// answers: any type, any bytes, sizes that change between the probe and the read, any code. The
// value comes from outside the program; what is shown must stay printable, short and true.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <native/fake_registry.h>
#include <policy/setting.h>
#include <portable/utf16.h>

namespace {

constexpr int kAnswers = 6;  // queries answered from the input; the ones after fail

// Opens or refuses the key as the input says, then answers each query with the code, type and
// size the input gives, copying the input's value bytes as far as the caller's buffer allows.
// Nothing else is called: reading changes nothing.
struct OddRegistry final : testing_support::FakeRegistry {
    const std::uint8_t* in;
    std::size_t valueSize;
    const std::uint8_t* value;
    int queries = 0, opened = 0, closed = 0;

    std::int32_t OpenKey(portable::RegHandle, const std::string&,
                         portable::RegHandle* key) override {
        *key = in[0] % 4 == 0 ? 0 : 0x10;
        opened += *key != 0;
        return in[0] % 4 == 1 ? 0 : in[0] / 4;
    }
    std::int32_t QueryValue(portable::RegHandle, const std::string&, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        if (queries >= kAnswers) return portable::kErrorInvalidHandle;
        const std::uint8_t* a = in + 1 + 4 * queries++;
        const std::int32_t code = a[0] % 4 == 0   ? 0
                                  : a[0] % 4 == 1 ? portable::kErrorMoreData
                                                  : a[0] / 4;
        *type = a[1];
        if (data) std::memcpy(data, value, std::min<std::size_t>(valueSize, *size));
        *size = static_cast<std::uint32_t>(a[2] | a[3] << 8);
        return code;
    }
    std::int32_t CloseKey(portable::RegHandle) override { return ++closed, 0; }
};

// Whole UTF-8, short, and no character that is not shown as itself or that turns a line around.
bool Printable(const std::string& text) {
    const std::u16string wide = portable::FromUtf8(text);
    if (portable::ToUtf8(wide) != text) return false;
    const auto points = portable::CodePoints(wide);
    return points.size() < 100 && std::none_of(points.begin(), points.end(), [](char32_t c) {
               return c < 0x20 || (c >= 0x7f && c < 0xa0) || (c >= 0x202A && c <= 0x202E) ||
                      (c >= 0x2066 && c <= 0x2069);
           });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 1 + 4 * kAnswers;
    if (size < kHeader) return 0;
    OddRegistry api;
    api.in = data;
    api.value = data + kHeader;
    api.valueSize = size - kHeader;
    const policy::Setting setting = policy::ReadSetting(api);
    if (api.closed != api.opened) std::abort();
    if (setting.kind == policy::SettingKind::kOff &&
        (setting.type != portable::kRegDword || setting.data != "0xff")) {
        std::abort();
    }
    if (!Printable(policy::WindowText(setting)) || !Printable(policy::StatusLine(setting))) {
        std::abort();
    }
    return 0;
}
