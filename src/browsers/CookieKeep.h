#pragma once

// Which of a browser's cookies survive: the cookie step's rule, by the row's host, and one more for
// the sub-domains today's sites set their sign-in cookies on.

#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/KeepText.h"
#include "settings/Settings.h"

namespace nimbral {

// A row's host with its leading "." (a domain cookie's mark) and every "www." removed.
std::string CookieHostKey(std::string_view host);

class CookieKeep {
  public:
    // From the cookie keep-list "coo".
    explicit CookieKeep(const SettingList& keepList);

    // Kept when the host key occurs in the keep text, letter case aside, as a cookie file's does; and
    // when it ends in "." and a keep entry (normalised as the typed-address rule normalises one, and
    // without a leading "."), so that a kept site's "accounts." and "mail." stay signed in. Only
    // whole labels count there: "notkept.example" is no sub-domain of "kept.example".
    bool Keeps(std::string_view host) const;

  private:
    KeepText text_;
    std::unordered_set<std::string> entries_;  // folded
};

}  // namespace nimbral
