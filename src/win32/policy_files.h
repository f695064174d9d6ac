// The files Group Policy keeps its registry settings in, read for the policy layer: local ones
// at once, ones on a domain's share with a short time limit, so that an unreachable domain
// controller costs a second at most and never hangs a window or a script.
#pragma once

#include <portable/file_source.h>

namespace win32 {

class PolicyFiles final : public portable::FileSource {
  public:
    portable::FileContents ReadFile(const std::string& path, std::size_t maxSize) override;
    std::string SystemFolder() override;
};

// How long a file on the network may take.
inline constexpr unsigned kNetworkReadMilliseconds = 1500;

}  // namespace win32
