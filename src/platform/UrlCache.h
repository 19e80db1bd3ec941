#pragma once

// The browser's URL cache, as the internet library publishes it: entries with a source name and
// type flags, walked one after another and deleted by name.

#include <cstdint>
#include <functional>
#include <string>

namespace nimbral {

namespace UrlCacheEntryType {
// The normal-entry bit: the only entries the program looks at.
inline constexpr std::uint32_t kNormal = 0x1;
inline constexpr std::uint32_t kCookie = 0x100000;
inline constexpr std::uint32_t kUrlHistory = 0x200000;
}  // namespace UrlCacheEntryType

class UrlCache {
  public:
    virtual ~UrlCache() = default;

    // Calls visit once for every entry, in the library's order, with its source name and type flags.
    // The visitor may delete the entry it is given. Returns false when the cache could not be
    // enumerated at all (nothing visited then).
    virtual bool Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) = 0;
    // Removes the entry of that source name; true when the library reported success.
    virtual bool DeleteEntry(const std::string& sourceName) = 0;
};

}  // namespace nimbral
