// Reading a text value whose bytes and sizes come from outside the program: whatever the
// registry answers, the read must stay inside its buffer and give the text up to the first NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <policy/registry_routines.h>

namespace {

// The key opens; the first query (the size probe) and the second (the read) answer whatever the
// fuzzer says, as a registry changed between the two calls might.
struct OddRegistry final : portable::RegistryApi {
    std::uint32_t probeType = 0, probeSize = 0, readSize = 0;
    std::int32_t readCode = 0;
    std::vector<std::uint8_t> bytes;
    int queries = 0;

    std::int32_t OpenKey(portable::RegHandle, const std::string&,
                         portable::RegHandle* key) override {
        *key = 0x10;
        return 0;
    }
    std::int32_t QueryValue(portable::RegHandle, const std::string&, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override {
        if (queries++ == 0) {
            *type = probeType;
            *size = probeSize;
            return 0;
        }
        if (data && !bytes.empty()) {
            std::memcpy(data, bytes.data(), std::min<std::size_t>(bytes.size(), *size));
        }
        *size = readSize;
        return readCode;
    }
    std::int32_t CloseKey(portable::RegHandle) override { return 0; }
    std::int32_t CreateKey(portable::RegHandle, const std::string&, portable::RegHandle*) override {
        std::abort();
    }
    std::int32_t SetValue(portable::RegHandle, const std::string&, std::uint32_t,
                          const std::uint8_t*, std::uint32_t) override {
        std::abort();
    }
    std::int32_t DeleteValue(portable::RegHandle, const std::string&) override { std::abort(); }
    std::int32_t DeleteKey(portable::RegHandle, const std::string&) override { std::abort(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    // Layout: probe size (2 bytes), size the read reports (2 bytes), read code, probe type,
    // then the value's bytes.
    OddRegistry api;
    const std::uint32_t probeSize = api.probeSize = data[0] | (data[1] << 8);
    api.readSize = data[2] | (data[3] << 8);
    const std::int32_t readCode = api.readCode = data[4] % 3 == 0 ? 0 : data[4];
    const std::uint32_t probeType = api.probeType = data[5] % 8;
    const std::vector<std::uint8_t> bytes(data + 6, data + size);
    api.bytes = bytes;
    policy::RegistryRoutines routines{api};
    const portable::Variant result =
        routines.regQuery_A_Key(portable::kHKeyLocalMachine, "Software\\Fuzz", "v");

    if (probeType == portable::kRegSz && readCode == 0) {
        // The buffer was as large as the probe said; the text is what was copied into it, up
        // to the first NUL, with the unwritten rest of the buffer as it was made (spaces).
        std::string expected(probeSize, ' ');
        const std::size_t copied = std::min<std::size_t>(bytes.size(), probeSize);
        if (copied > 0) std::memcpy(expected.data(), bytes.data(), copied);
        expected = expected.substr(0, expected.find('\0'));
        if (result != portable::Variant(expected)) std::abort();
    } else if (probeType != portable::kRegDword && result != portable::Variant(std::string())) {
        std::abort();
    }
    return 0;
}
