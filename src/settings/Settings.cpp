#include "settings/Settings.h"

namespace nimbral {

std::size_t SettingList::CountUsed() const {
    std::size_t count = 0;
    while (count < slots_.size() && !slots_[count].empty())
        ++count;
    return count;
}

const char* ListPrefix(ListId list) {
    switch (list) {
        case ListId::Sites:
            return "sit";
        case ListId::Cookies:
            return "coo";
        case ListId::Files:
            return "fil";
        case ListId::Paths:
            return "pat";
        case ListId::Media:
            return "med";
        case ListId::Docs:
            return "doc";
    }
    return "";
}

SettingList& Settings::List(ListId list) {
    return const_cast<SettingList&>(static_cast<const Settings&>(*this).List(list));
}

const SettingList& Settings::List(ListId list) const {
    switch (list) {
        case ListId::Sites:
            return sit;
        case ListId::Cookies:
            return coo;
        case ListId::Files:
            return fil;
        case ListId::Paths:
            return pat;
        case ListId::Media:
            return med;
        case ListId::Docs:
            return doc;
    }
    return sit;
}

}  // namespace nimbral
