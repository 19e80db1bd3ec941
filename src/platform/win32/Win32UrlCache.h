#pragma once

#include "platform/UrlCache.h"

namespace nimbral::win32 {

// The internet library's URL cache. The walk asks the library for the size of each entry before
// fetching it into a local-heap block of exactly that size, holding one block at a time.
class Win32UrlCache final : public UrlCache {
  public:
    bool Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) override;
    bool DeleteEntry(const std::string& sourceName) override;
};

}  // namespace nimbral::win32
