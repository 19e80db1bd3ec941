#include "history/corvelHistoryDeleter.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32/UniqueHandles.h"

static_assert(std::is_convertible_v<decltype(&doDeleteHistory), nimbral::history::DoDeleteHistoryProc>);

namespace nimbral::history {
namespace {

using win32::UniqueCacheEnum;

// Where the history container is asked for by name: the documented pattern first, then the
// container's own prefix, which is what Wine matches (exactly, letter case included).
constexpr const char* kHistoryPatterns[] = {"visited:", "Visited:"};
constexpr char kHistoryPrefix[] = "visited:";

// One entry record, grown to whatever size the library asks for. Most records fit the first size.
class EntryBuffer {
  public:
    EntryBuffer() { Grow(4096); }

    INTERNET_CACHE_ENTRY_INFOA* Get() const { return static_cast<INTERNET_CACHE_ENTRY_INFOA*>(memory_.get()); }
    DWORD Size() const { return size_; }
    bool Grow(DWORD size) {
        memory_.reset(::LocalAlloc(LMEM_FIXED, size));
        size_ = memory_ ? size : 0;
        return static_cast<bool>(memory_);
    }

  private:
    win32::UniqueHlocal memory_;
    DWORD size_ = 0;
};

// Runs one find call, and once more with a buffer of the size it asked for when it did not fit.
template <typename Find>
bool FetchEntry(EntryBuffer& buffer, Find find) {
    DWORD size = buffer.Size();
    if (buffer.Get() && find(buffer.Get(), &size))
        return true;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || !buffer.Grow(size))
        return false;
    size = buffer.Size();
    return find(buffer.Get(), &size);
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(*text) != fold(*prefix))
            return false;
    }
    return true;
}

// A walk whose pattern names no container may be answered with other entries; only what is history
// by its type or by its name is ever deleted.
bool IsHistoryEntry(const INTERNET_CACHE_ENTRY_INFOA& entry) {
    if (!entry.lpszSourceUrlName)
        return false;
    return (entry.CacheEntryType & URLHISTORY_CACHE_ENTRY) != 0 ||
           StartsWithIgnoringCase(entry.lpszSourceUrlName, kHistoryPrefix);
}

// Names are gathered first and deleted after the walk, so deleting never disturbs an enumeration.
void CollectHistoryNames(const char* pattern, EntryBuffer& buffer, std::vector<std::string>& names) {
    UniqueCacheEnum walk;
    const bool found = FetchEntry(buffer, [&](INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) {
        walk.reset(::FindFirstUrlCacheEntryA(pattern, entry, size));
        return static_cast<bool>(walk);
    });
    if (!found)
        return;
    do {
        if (IsHistoryEntry(*buffer.Get()))
            names.emplace_back(buffer.Get()->lpszSourceUrlName);
    } while (FetchEntry(buffer, [&](INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) {
        return ::FindNextUrlCacheEntryA(walk.get(), entry, size) != FALSE;
    }));
}

void DeleteHistoryEntries() {
    EntryBuffer buffer;
    std::vector<std::string> names;
    for (const char* pattern : kHistoryPatterns)
        CollectHistoryNames(pattern, buffer, names);
    // Both patterns may name the same container.
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    // An entry in use cannot be deleted now; the next clean gets it.
    for (const std::string& name : names)
        ::DeleteUrlCacheEntryA(name.c_str());
}

}  // namespace
}  // namespace nimbral::history

extern "C" void __stdcall doDeleteHistory() noexcept {
    try {
        nimbral::history::DeleteHistoryEntries();
    } catch (...) {
        // Out of memory while gathering names: the history stays until the next clean.
    }
}
