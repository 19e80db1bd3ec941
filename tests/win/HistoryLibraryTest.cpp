// The history library, loaded through its adapter, against Wine's real URL cache.

#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "history/corvelHistoryDeleter.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32HistoryLibrary.h"

namespace nimbral::wintest {
namespace {

using win32::UniqueCacheEnum;

struct SeededEntry {
    std::string name;
    DWORD type;
    bool withFile;
};

bool Seed(const SeededEntry& entry) {
    char file[MAX_PATH] = {};
    if (entry.withFile) {
        if (!::CreateUrlCacheEntryA(entry.name.c_str(), 0, "htm", file, 0))
            return false;
        win32::UniqueHfile handle(::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!handle || !::WriteFile(handle.get(), "<html>", 6, &written, nullptr))
            return false;
    }
    const FILETIME never = {};
    return ::CommitUrlCacheEntryA(entry.name.c_str(), entry.withFile ? file : nullptr, never, never, entry.type,
                                  nullptr, 0, nullptr, nullptr) != FALSE;
}

bool InCache(const std::string& name) {
    DWORD size = 0;
    return ::GetUrlCacheEntryInfoA(name.c_str(), nullptr, &size) || ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// Every entry a walk shows, with its type; Wine shows all containers when no pattern is given.
std::vector<std::pair<std::string, DWORD>> CacheEntries(const char* pattern) {
    std::vector<std::pair<std::string, DWORD>> entries;
    std::vector<char> buffer(64 * 1024);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    UniqueCacheEnum find(::FindFirstUrlCacheEntryA(pattern, info, &size));
    if (!find)
        return entries;
    do {
        entries.emplace_back(info->lpszSourceUrlName, info->CacheEntryType);
        size = static_cast<DWORD>(buffer.size());
    } while (::FindNextUrlCacheEntryA(find.get(), info, &size));
    return entries;
}

std::string UniqueHost() {
    return "history" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) + ".example";
}

TEST(HistoryLibrary, DeletesEveryHistoryEntryAndLeavesContentAndCookies) {
    const std::string host = UniqueHost();
    constexpr DWORD kHistory = URLHISTORY_CACHE_ENTRY | NORMAL_CACHE_ENTRY;
    const std::vector<SeededEntry> history = {
        {"Visited: nimbral@http://" + host + "/", kHistory, true},
        {"Visited: nimbral@http://www." + host + "/page?q=1", kHistory, false},
        // Larger than the library's first record buffer, so its walk has to grow the buffer.
        {"Visited: nimbral@http://" + host + "/" + std::string(6000, 'a'), kHistory, false},
    };
    const std::vector<SeededEntry> survivors = {
        {"http://" + host + "/index.htm", NORMAL_CACHE_ENTRY, true},
        {"Cookie:nimbral@" + host + "/", COOKIE_CACHE_ENTRY | NORMAL_CACHE_ENTRY, true},
    };
    for (const auto* entries : {&history, &survivors}) {
        for (const SeededEntry& entry : *entries) {
            ASSERT_TRUE(Seed(entry)) << entry.name.substr(0, 80) << " error " << ::GetLastError();
            ASSERT_TRUE(InCache(entry.name)) << entry.name.substr(0, 80);
        }
    }

    win32::Win32HistoryLibrary library;
    EXPECT_TRUE(library.DeleteHistory());

    for (const SeededEntry& entry : history)
        EXPECT_FALSE(InCache(entry.name)) << entry.name.substr(0, 80);
    for (const char* pattern : {static_cast<const char*>(nullptr), "Visited:", "visited:"}) {
        for (const auto& [name, type] : CacheEntries(pattern))
            EXPECT_EQ(type & URLHISTORY_CACHE_ENTRY, 0u) << name.substr(0, 80);
    }
    for (const SeededEntry& entry : survivors) {
        EXPECT_TRUE(InCache(entry.name)) << entry.name;
        ::DeleteUrlCacheEntryA(entry.name.c_str());
    }
}

TEST(HistoryLibrary, IsLoadedAtFirstUseAndReleasedWithTheAdapter) {
    ASSERT_EQ(::GetModuleHandleA(history::kLibraryName), nullptr);
    {
        win32::Win32HistoryLibrary library;
        EXPECT_EQ(::GetModuleHandleA(history::kLibraryName), nullptr);
        EXPECT_TRUE(library.DeleteHistory());
        EXPECT_NE(::GetModuleHandleA(history::kLibraryName), nullptr);
        EXPECT_TRUE(library.DeleteHistory());
    }
    EXPECT_EQ(::GetModuleHandleA(history::kLibraryName), nullptr);
}

TEST(HistoryLibrary, AnswersFalseWhenTheLibraryOrItsEntryIsMissing) {
    // kernel32.dll loads but has no doDeleteHistory.
    for (const char* name : {"noSuchHistoryDeleter.dll", "kernel32.dll"}) {
        SCOPED_TRACE(name);
        win32::Win32HistoryLibrary library(name);
        EXPECT_FALSE(library.DeleteHistory());
        EXPECT_FALSE(library.DeleteHistory());
    }
}

}  // namespace
}  // namespace nimbral::wintest
