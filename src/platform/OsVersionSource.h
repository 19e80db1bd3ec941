#pragma once

// The two version records the system reports.

#include <cstdint>
#include <optional>
#include <string>

namespace nimbral {

struct OsVersionRecord {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    // The whole 128-character service-pack field, NUL padding included, as the system filled it.
    std::string csdVersion;
};

struct OsVersionExRecord : OsVersionRecord {
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;
};

class OsVersionSource {
  public:
    virtual ~OsVersionSource() = default;
    // No value when the system refuses the query.
    virtual std::optional<OsVersionRecord> ReadBasic() = 0;
    virtual std::optional<OsVersionExRecord> ReadExtended() = 0;
};

}  // namespace nimbral
