#pragma once

// How cache entries, cookie files and keep entries are reduced before they are compared.

#include <string>
#include <string_view>

namespace nimbral {

// The host key of a cache entry's or cookie file's name: what follows the first "@", cut before the
// first "[", without any "http://" or "www.", and without one final "/". With cutAfterFirstSlash (a
// content entry of the cache) the text is first cut right after its first "/" when that stands at
// the second position or later. Searches ignore letter case.
std::string HostKey(std::string_view name, bool cutAfterFirstSlash);

// A typed-address keep entry without "http://" and "www." and without one final "/". Empty when
// nothing is left.
std::string NormaliseKeepEntry(std::string_view entry);

}  // namespace nimbral
