#pragma once

// A URL cache in memory that answers as Wine's does: the walk gives the cookie entries ("Cookie:"
// names), then the history entries ("Visited:"), then all others, each group in the order it was
// added; every entry carries its group's type bit besides the bits it was added with (so content
// entries always have the normal-entry bit); names are compared exactly; and deleting the entry
// being visited does not disturb the walk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/UrlCache.h"

namespace nimbral::testing {

class FakeUrlCache final : public UrlCache {
  public:
    bool Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) override;
    bool DeleteEntry(const std::string& sourceName) override;

    // Adds an entry, or replaces the type of the entry of that name.
    void Add(const std::string& sourceName, std::uint32_t entryType);
    // The same without the group's type bit: an entry as Windows may report it, though Wine never
    // does (a content entry without the normal-entry bit, a history entry by its bit alone).
    void AddVerbatim(const std::string& sourceName, std::uint32_t entryType);
    // Makes every later walk fail, as a cache that cannot be enumerated does.
    void FailWalks(bool fail) { failWalks_ = fail; }

    bool Contains(const std::string& sourceName) const;
    // The names, in the order a walk gives them.
    std::vector<std::string> Names() const;
    int DeleteCalls() const { return deleteCalls_; }

  private:
    struct Entry {
        std::string name;
        std::uint32_t type = 0;
        bool deleted = false;
    };
    std::vector<std::size_t> InWalkOrder() const;
    void Compact();

    std::vector<Entry> entries_;                           // in the order added
    std::unordered_map<std::string, std::size_t> byName_;  // the live entries
    bool failWalks_ = false;
    int walkDepth_ = 0;
    int deleteCalls_ = 0;
};

}  // namespace nimbral::testing
