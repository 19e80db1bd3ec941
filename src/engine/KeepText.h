#pragma once

// The keep test of the cache and cookie steps: does a host key occur anywhere in the keep text (all
// slots of a keep-list joined without a separator), ignoring letter case? Built once per walk and
// asked once per entry, so a query must not rescan the whole keep text.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace nimbral {

class KeepText {
  public:
    explicit KeepText(std::string_view joined);
    // Joins every slot of the list in index order.
    static KeepText FromList(const SettingList& list);

    // An empty key occurs in every keep text but an empty one; nothing occurs in an empty keep text.
    bool Contains(std::string_view hostKey) const;

  private:
    // Each pair of leading characters has its own range of the sorted suffixes, so a query starts
    // from a range a few hundred times smaller than the text.
    static constexpr std::size_t kPairCodes = 256 * 256;

    std::string folded_;
    std::vector<std::uint32_t> suffixes_;   // start positions of the suffixes of folded_, sorted
    std::vector<std::uint32_t> pairStart_;  // by pair code: the suffixes of two or more characters before it
    std::uint32_t lonePair_ = 0;            // the pair code of the last character followed by nothing
    std::array<bool, 256> present_{};       // the characters that occur at all
};

}  // namespace nimbral
