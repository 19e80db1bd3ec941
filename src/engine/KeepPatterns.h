#pragma once

// The keep test of the typed-address step: does any normalised keep entry occur in the address,
// ignoring letter case? An entry that normalises to empty matches nothing. All patterns are matched
// in one pass over the address.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace nimbral {

// What an entry that normalises to empty is replaced by: a text no address holds.
inline constexpr char kNoAddressText[] = "##LS38348728337239CBSI";

class KeepPatterns {
  public:
    // Every slot of the list, each normalised with NormaliseKeepEntry.
    explicit KeepPatterns(const SettingList& list);
    explicit KeepPatterns(const std::vector<std::string>& entries);

    bool Matches(std::string_view address) const;

  private:
    // The automaton's layout is this class's own business; it must stay small for 10001 entries.
    struct Automaton;
    std::shared_ptr<const Automaton> automaton_;
};

}  // namespace nimbral
