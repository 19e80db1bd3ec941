#pragma once

#include <string>

namespace nimbral {

// The scrambling of stored settings: codes below 128 move up by 128 and codes above 128 move down
// by 128. Applied twice it gives back the text, so the one operation both scrambles and unscrambles.
// Codes 0 and 128 stay as they are: 0 would otherwise become 128 and back to 0 never, and 128 would
// become a NUL that cuts the stored string short.
std::string& ScrambleText(std::string& text);

}  // namespace nimbral
