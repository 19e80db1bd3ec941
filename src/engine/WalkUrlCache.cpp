#include <cstdint>

#include "engine/HostKey.h"
#include "engine/modIECache.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr char kCookieMark[] = "cookie:";
constexpr char kHistoryMark[] = "visited:";

std::string ModeLabel(const std::string& mode) {
    if (mode == kCookiesMode)
        return "Cookies";
    if (mode == kTempFilesMode)
        return "Temporary Internet Files";
    return mode;
}

// History entries belong to the history step: the content walk neither deletes nor counts them.
bool IsHistoryEntry(const std::string& name, std::uint32_t entryType) {
    return (entryType & UrlCacheEntryType::kUrlHistory) != 0 || ContainsIgnoreCase(name, kHistoryMark);
}

bool IsHandled(const std::string& mode, const std::string& name, std::uint32_t entryType) {
    if ((entryType & UrlCacheEntryType::kNormal) == 0)
        return false;
    const bool isCookie = ContainsIgnoreCase(name, kCookieMark);
    if (mode == kCookiesMode)
        return isCookie;
    if (mode == kTempFilesMode)
        return !isCookie && !IsHistoryEntry(name, entryType);
    return false;
}

}  // namespace

void WalkUrlCache(UrlCache& cache, ResultsSurface& results, const std::string& mode, const KeepText& keep) {
    const bool contentWalk = mode == kTempFilesMode;
    // Wide enough that no cache, however large, can wrap the counts in the summary.
    std::uint64_t deleted = 0;
    std::uint64_t kept = 0;
    cache.Walk([&](const std::string& name, std::uint32_t entryType) {
        if (IsHandled(mode, name, entryType)) {
            if (keep.Contains(HostKey(name, contentWalk))) {
                ++kept;
            } else {
                // Whether the library managed it is not looked at: the entry counts as deleted.
                cache.DeleteEntry(name);
                ++deleted;
            }
        }
        results.ProcessPendingMessages();
    });

    const std::string label = ModeLabel(mode);
    results.AppendLine("Found " + DecimalText(deleted + kept) + " " + label + " in Internet Cache");
    results.AppendLine("Deleted " + DecimalText(deleted) + " " + label + " from Internet Cache");
    results.AppendLine("Kept " + DecimalText(kept) + " " + label + " in Internet Cache");
}

void ListCookieSites(UrlCache& cache, ListBoxRows& cookieSites) {
    cookieSites.clear();
    cache.Walk([&](const std::string& name, std::uint32_t entryType) {
        if ((entryType & UrlCacheEntryType::kNormal) == 0 || !ContainsIgnoreCase(name, kCookieMark))
            return;
        std::string site = name;
        if (const auto at = site.find('@'); at != std::string::npos)
            site.erase(0, at + 1);
        if (!site.empty() && site.back() == '/')
            site.pop_back();
        cookieSites.push_back(std::move(site));
    });
}

}  // namespace nimbral
