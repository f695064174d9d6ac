// Group Policy's registry files come from a domain's share: any bytes must give records or "could
// not be read", never a crash or a loop, and records must lie inside the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <policy/preg.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto records = policy::ParsePolicyFile(data, size);
    if (!records) return 0;
    std::size_t bytes = 8;
    for (const auto& r : *records)
        bytes += 2 * (r.key.size() + r.value.size()) + r.data.size() + 24;
    if (bytes != size) std::abort();  // every byte belongs to exactly one record
    for (const char* name : {"NoDriveTypeAutoRun", "NoAutorun"}) {
        policy::DecisionFor(
            *records, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", name);
    }
    return 0;
}
