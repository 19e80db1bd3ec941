#include "doubles/FakeUrlCache.h"

#include <algorithm>
#include <iterator>

namespace nimbral::testing {

namespace {

// Wine's groups and the order it walks them in, by the case-sensitive start of the name.
struct Group {
    const char* prefix;
    std::uint32_t typeBit;
};
constexpr Group kGroups[] = {
    {"Cookie:", UrlCacheEntryType::kCookie},
    {"Visited:", UrlCacheEntryType::kUrlHistory},
    {"", UrlCacheEntryType::kNormal},
};

std::size_t GroupOf(const std::string& name) {
    for (std::size_t g = 0; g < std::size(kGroups); ++g) {
        if (name.starts_with(kGroups[g].prefix))
            return g;
    }
    return std::size(kGroups) - 1;
}

}  // namespace

std::vector<std::size_t> FakeUrlCache::InWalkOrder() const {
    std::vector<std::size_t> order;
    for (std::size_t g = 0; g < std::size(kGroups); ++g) {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (!entries_[i].deleted && GroupOf(entries_[i].name) == g)
                order.push_back(i);
        }
    }
    return order;
}

// Deleted entries stay in place while a walk runs, so the walk's positions stay valid.
void FakeUrlCache::Compact() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.deleted; });
    byName_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        byName_[entries_[i].name] = i;
}

bool FakeUrlCache::Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) {
    if (failWalks_)
        return false;
    ++walkDepth_;
    // What is added during the walk is not visited; what is deleted before its turn is not either.
    for (const std::size_t i : InWalkOrder()) {
        if (!entries_[i].deleted) {
            const Entry entry = entries_[i];
            visit(entry.name, entry.type);
        }
    }
    if (--walkDepth_ == 0)
        Compact();
    return true;
}

bool FakeUrlCache::DeleteEntry(const std::string& sourceName) {
    ++deleteCalls_;
    const auto it = byName_.find(sourceName);
    if (it == byName_.end())
        return false;
    entries_[it->second].deleted = true;
    byName_.erase(it);
    if (walkDepth_ == 0)
        Compact();
    return true;
}

void FakeUrlCache::Add(const std::string& sourceName, std::uint32_t entryType) {
    AddVerbatim(sourceName, entryType | kGroups[GroupOf(sourceName)].typeBit);
}

void FakeUrlCache::AddVerbatim(const std::string& sourceName, std::uint32_t type) {
    if (const auto it = byName_.find(sourceName); it != byName_.end()) {
        entries_[it->second].type = type;
        return;
    }
    byName_[sourceName] = entries_.size();
    entries_.push_back({sourceName, type});
}

bool FakeUrlCache::Contains(const std::string& sourceName) const {
    return byName_.count(sourceName) != 0;
}

std::vector<std::string> FakeUrlCache::Names() const {
    std::vector<std::string> names;
    for (const std::size_t i : InWalkOrder())
        names.push_back(entries_[i].name);
    return names;
}

}  // namespace nimbral::testing
