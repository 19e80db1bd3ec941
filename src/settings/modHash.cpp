#include "settings/modHash.h"

namespace nimbral {

std::string& ScrambleText(std::string& text) {
    for (char& c : text) {
        const unsigned code = static_cast<unsigned char>(c);
        if (code == 0 || code == 128)
            continue;
        c = static_cast<char>(code < 128 ? code + 128 : code - 128);
    }
    return text;
}

}  // namespace nimbral
