#include "browsers/CookieKeep.h"

#include "engine/HostKey.h"
#include "text/AnsiText.h"

namespace nimbral {

std::string CookieHostKey(std::string_view host) {
    if (!host.empty() && host.front() == '.')
        host.remove_prefix(1);
    return ReplaceAllIgnoreCase(host, "www.", "");
}

CookieKeep::CookieKeep(const SettingList& keepList) : text_(KeepText::FromList(keepList)) {
    for (const std::string& slot : keepList) {
        std::string_view entry;
        const std::string normalised = NormaliseKeepEntry(slot);
        entry = normalised;
        while (!entry.empty() && entry.front() == '.')
            entry.remove_prefix(1);
        if (!entry.empty())
            entries_.insert(FoldCase(entry));
    }
}

bool CookieKeep::Keeps(std::string_view host) const {
    const std::string key = CookieHostKey(host);
    if (text_.Contains(key))
        return true;
    if (entries_.empty())
        return false;
    const std::string folded = FoldCase(key);
    for (std::size_t dot = folded.find('.'); dot != std::string::npos; dot = folded.find('.', dot + 1)) {
        if (entries_.count(folded.substr(dot + 1)))
            return true;
    }
    return false;
}

}  // namespace nimbral
