#pragma once

// The URL cache as one clean run sees it. The cookie step's walk and the temporary-files step's walk
// come one right after the other and each goes through the whole cache, which costs the library a
// lock and a mapping of its index for every entry. So the second walk is given the entries the first
// met and left there, in the order it met them, a moment after, instead of a second pass through
// the library; a walk given a listing takes it, and the next one asks the library again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/UrlCache.h"

namespace nimbral {

class RunUrlCache final : public UrlCache {
  public:
    explicit RunUrlCache(UrlCache& cache) : cache_(cache) {}

    bool Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) override;
    bool DeleteEntry(const std::string& sourceName) override;

  private:
    struct Entry {
        std::string name;
        std::uint32_t type;
        bool deleted;
    };
    UrlCache& cache_;
    std::optional<std::vector<Entry>> listing_;  // what the last walk left
    std::vector<Entry>* walking_ = nullptr;      // the walk under way, the entry it visits last
};

}  // namespace nimbral
