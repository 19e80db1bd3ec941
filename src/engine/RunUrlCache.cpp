#include "engine/RunUrlCache.h"

namespace nimbral {

bool RunUrlCache::Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) {
    if (listing_) {
        const std::vector<Entry> entries = std::move(*listing_);
        listing_.reset();
        for (const Entry& entry : entries) {
            if (!entry.deleted)
                visit(entry.name, entry.type);
        }
        return true;
    }
    std::vector<Entry> entries;
    struct Walking {
        std::vector<Entry>*& slot;
        ~Walking() { slot = nullptr; }
    } walking{walking_ = &entries};
    const bool walked = cache_.Walk([&](const std::string& name, std::uint32_t type) {
        entries.push_back({name, type, false});
        visit(name, type);
    });
    if (walked)
        listing_ = std::move(entries);
    return walked;
}

bool RunUrlCache::DeleteEntry(const std::string& sourceName) {
    const bool deleted = cache_.DeleteEntry(sourceName);
    // An entry the library kept is still there for the next walk to meet.
    if (deleted && walking_ && !walking_->empty() && walking_->back().name == sourceName)
        walking_->back().deleted = true;
    return deleted;
}

}  // namespace nimbral
