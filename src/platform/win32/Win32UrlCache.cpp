#include "platform/win32/Win32UrlCache.h"

#include <windows.h>
#include <wininet.h>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

namespace {

// A block of the size the library asked for, with that size in the entry's first field; empty
// when the size cannot even hold that field or the heap refuses.
UniqueHlocal EntryBlock(DWORD size) {
    if (size < sizeof(DWORD))
        return UniqueHlocal();
    UniqueHlocal block(::LocalAlloc(LMEM_FIXED, size));
    if (block)
        static_cast<INTERNET_CACHE_ENTRY_INFOA*>(block.get())->dwStructSize = size;
    return block;
}

void Visit(const UniqueHlocal& block,
           const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) {
    const auto* entry = static_cast<const INTERNET_CACHE_ENTRY_INFOA*>(block.get());
    const char* name = entry->lpszSourceUrlName;
    const std::string sourceName =
        name != nullptr ? std::string(name, static_cast<std::size_t>(::lstrlenA(name))) : std::string();
    visit(sourceName, entry->CacheEntryType);
}

}  // namespace

bool Win32UrlCache::Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) {
    // The pattern is left out (every entry): Wine answers the pattern "0" with no entries at all.
    DWORD size = 0;
    UniqueCacheEnum walk(::FindFirstUrlCacheEntryA(nullptr, nullptr, &size));
    if (walk)  // an entry delivered into no buffer at all: nothing that can be read
        return false;
    if (const DWORD probe = ::GetLastError(); probe != ERROR_INSUFFICIENT_BUFFER)
        return probe == ERROR_NO_MORE_ITEMS;  // an empty cache: walked, with nothing to visit

    UniqueHlocal block = EntryBlock(size);
    if (!block)
        return false;
    walk.reset(::FindFirstUrlCacheEntryA(nullptr, static_cast<INTERNET_CACHE_ENTRY_INFOA*>(block.get()), &size));
    if (!walk)
        return false;

    // The visitor may delete the entry it was given before the next is fetched: the library keeps
    // its place by index slot, not by entry, so the walk skips nothing for it. One block serves
    // every entry that fits; the library is asked for the size only when one does not.
    DWORD capacity = size;
    for (;;) {
        Visit(block, visit);
        size = capacity;
        static_cast<INTERNET_CACHE_ENTRY_INFOA*>(block.get())->dwStructSize = capacity;
        if (::FindNextUrlCacheEntryA(walk.get(), static_cast<INTERNET_CACHE_ENTRY_INFOA*>(block.get()), &size))
            continue;
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        block = EntryBlock(size);
        capacity = size;
        if (!block ||
            !::FindNextUrlCacheEntryA(walk.get(), static_cast<INTERNET_CACHE_ENTRY_INFOA*>(block.get()), &size)) {
            break;
        }
    }
    return true;
}

bool Win32UrlCache::DeleteEntry(const std::string& sourceName) {
    return ::DeleteUrlCacheEntryA(sourceName.c_str()) != FALSE;
}

}  // namespace nimbral::win32
