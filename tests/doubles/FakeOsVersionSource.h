#pragma once

// Hands out whatever records a test configured; an empty optional plays a refused query.

#include <optional>

#include "platform/OsVersionSource.h"

namespace nimbral {

class FakeOsVersionSource : public OsVersionSource {
  public:
    std::optional<OsVersionRecord> basic;
    std::optional<OsVersionExRecord> extended;
    int basicCalls = 0;
    int extendedCalls = 0;

    std::optional<OsVersionRecord> ReadBasic() override {
        ++basicCalls;
        return basic;
    }
    std::optional<OsVersionExRecord> ReadExtended() override {
        ++extendedCalls;
        return extended;
    }
};

}  // namespace nimbral
