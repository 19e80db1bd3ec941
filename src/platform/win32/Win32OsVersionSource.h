#pragma once

#include "platform/OsVersionSource.h"

namespace nimbral::win32 {

// Asks GetVersionExA, once for each record size, so a system that only knows the basic record
// still answers the first query.
class Win32OsVersionSource final : public OsVersionSource {
  public:
    std::optional<OsVersionRecord> ReadBasic() override;
    std::optional<OsVersionExRecord> ReadExtended() override;
};

}  // namespace nimbral::win32
