// The seam between the policy layer and the files it reads (Group Policy's registry files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace portable {

struct FileContents {
    enum State { kRead, kMissing, kUnreadable } state;
    std::vector<std::uint8_t> bytes;  // when read
    std::int32_t error = 0;           // the Windows error, when not
};

class FileSource {
  public:
    virtual ~FileSource() = default;
    // The whole file at `path` (UTF-8; environment variables expanded). Larger than maxSize is
    // unreadable. A file on the network gets a second or two, then counts as unreadable.
    virtual FileContents ReadFile(const std::string& path, std::size_t maxSize) = 0;
    // The system folder (C:\Windows\System32), where the machine's local policy is kept.
    virtual std::string SystemFolder() = 0;
};

}  // namespace portable
