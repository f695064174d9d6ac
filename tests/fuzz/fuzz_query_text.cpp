// Reading a text value whose bytes and sizes come from outside the program: whatever the
// registry answers, the read must stay inside its buffer and give the text up to the first NUL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scripted_registry.h"
#include "policy/registry_routines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    // Layout: probe size (2 bytes), size the read reports (2 bytes), read code, probe type,
    // then the value's bytes.
    const std::uint32_t probeSize = data[0] | (data[1] << 8);
    const std::uint32_t readSize = data[2] | (data[3] << 8);
    const std::int32_t readCode = data[4] % 3 == 0 ? 0 : data[4];
    const std::uint32_t probeType = data[5] % 8;
    const std::vector<std::uint8_t> bytes(data + 6, data + size);

    testing_support::ScriptedRegistry api;
    api.script = {{0, 0x10},
                  {0, 0, probeType, {}, probeSize},
                  {readCode, 0, probeType, bytes, readSize},
                  {0}};
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
