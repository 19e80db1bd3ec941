#include "engine/HostKey.h"

#include "text/AnsiText.h"

namespace nimbral {

namespace {

std::string WithoutSchemeAndWww(std::string_view text) {
    return ReplaceAllIgnoreCase(ReplaceAllIgnoreCase(text, "http://", ""), "www.", "");
}

// A lone "/" stays: it is the whole key.
void DropFinalSlash(std::string& text) {
    if (text.size() > 1 && text.back() == '/')
        text.pop_back();
}

}  // namespace

std::string HostKey(std::string_view name, bool cutAfterFirstSlash) {
    if (const auto at = name.find('@'); at != std::string_view::npos)
        name = name.substr(at + 1);
    if (const auto bracket = name.find('['); bracket != std::string_view::npos)
        name = name.substr(0, bracket);
    std::string key = WithoutSchemeAndWww(name);
    if (cutAfterFirstSlash) {
        if (const auto slash = key.find('/'); slash != std::string::npos && slash >= 1)
            key.resize(slash + 1);
    }
    DropFinalSlash(key);
    return key;
}

std::string NormaliseKeepEntry(std::string_view entry) {
    std::string normalised = WithoutSchemeAndWww(entry);
    DropFinalSlash(normalised);
    return normalised;
}

}  // namespace nimbral
