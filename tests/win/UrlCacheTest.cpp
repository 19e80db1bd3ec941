// The URL cache adapter and the cache walker on Wine's real URL cache.

#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "contract/UrlCacheContract.h"
#include "doubles/RecordingResults.h"
#include "engine/modIECache.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32UrlCache.h"

namespace nimbral::wintest {
namespace {

using namespace UrlCacheEntryType;
using testing::RecordingResults;

// The cache's entry names, read with one generous buffer that grows when the library asks: not
// the adapter's way, so it can judge the adapter.
std::vector<std::string> CacheNames() {
    std::vector<std::string> names;
    std::vector<char> buffer(64 * 1024);
    const auto entry = [&] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()); };
    const auto fetch = [&](auto&& call) {
        for (;;) {
            DWORD size = static_cast<DWORD>(buffer.size());
            entry()->dwStructSize = size;
            if (call(size))
                return true;
            if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                return false;
            buffer.resize(size);
        }
    };
    HANDLE walk = nullptr;
    if (!fetch([&](DWORD& size) { return (walk = ::FindFirstUrlCacheEntryA(nullptr, entry(), &size)) != nullptr; }))
        return names;
    do {
        names.emplace_back(entry()->lpszSourceUrlName);
    } while (fetch([&](DWORD& size) { return ::FindNextUrlCacheEntryA(walk, entry(), &size) != FALSE; }));
    ::FindCloseUrlCache(walk);
    std::sort(names.begin(), names.end());
    return names;
}

void EmptyCache() {
    for (const std::string& name : CacheNames())
        ::DeleteUrlCacheEntryA(name.c_str());
    if (!CacheNames().empty())
        ADD_FAILURE() << "the URL cache of the test prefix could not be emptied";
}

// An entry made the way the browser makes one: a local file reserved, written, then committed.
void AddEntry(const std::string& sourceName, std::uint32_t entryType) {
    char localFile[MAX_PATH] = {};
    ASSERT_TRUE(::CreateUrlCacheEntryA(sourceName.c_str(), 0, "", localFile, 0)) << sourceName;
    {
        win32::UniqueHfile file(
            ::CreateFileA(localFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file) << localFile;
        DWORD written = 0;
        ::WriteFile(file.get(), "x", 1, &written, nullptr);
    }
    const FILETIME never = {};
    ASSERT_TRUE(
        ::CommitUrlCacheEntryA(sourceName.c_str(), localFile, never, never, entryType, nullptr, 0, nullptr, nullptr))
        << sourceName;
}

struct Win32UrlCacheHarness {
    Win32UrlCacheHarness() { EmptyCache(); }
    ~Win32UrlCacheHarness() { EmptyCache(); }

    win32::Win32UrlCache cache;

    UrlCache& Get() { return cache; }
    void Add(const std::string& sourceName, std::uint32_t entryType) { AddEntry(sourceName, entryType); }
    bool Exists(const std::string& sourceName) {
        DWORD size = 0;
        return !::GetUrlCacheEntryInfoA(sourceName.c_str(), nullptr, &size) &&
               ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    }
};

class UrlCacheWalk : public ::testing::Test {
  protected:
    UrlCacheWalk() { EmptyCache(); }
    ~UrlCacheWalk() override { EmptyCache(); }

    static std::vector<std::string> Sorted(std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }

    win32::Win32UrlCache cache;
    RecordingResults results;
};

TEST_F(UrlCacheWalk, TempFilesModeDeletesTheUnkeptContentEntriesOnly) {
    AddEntry("http://www.kept.example/page.html", kNormal);
    AddEntry("http://sub.kept.example/style.css", kNormal);
    AddEntry("http://other.example/", kNormal);
    AddEntry("Cookie:user@other.example/", kCookie | kNormal);
    AddEntry("Visited: user@http://other.example/", kUrlHistory | kNormal);
    SettingList sites;
    sites[0] = "www.kept.example/";

    WalkUrlCache(cache, results, kTempFilesMode, KeepText::FromList(sites));

    const std::vector<std::string> expected = {"Found 3 Temporary Internet Files in Internet Cache",
                                               "Deleted 2 Temporary Internet Files from Internet Cache",
                                               "Kept 1 Temporary Internet Files in Internet Cache"};
    EXPECT_EQ(results.lines, expected);
    EXPECT_EQ(CacheNames(), Sorted({"http://www.kept.example/page.html", "Cookie:user@other.example/",
                                    "Visited: user@http://other.example/"}));
}

TEST_F(UrlCacheWalk, CookiesModeDeletesTheUnkeptCookieEntriesOnly) {
    AddEntry("Cookie:user@kept.example/", kCookie | kNormal);
    AddEntry("Cookie:user@gone.example/", kCookie | kNormal);
    AddEntry("Cookie:user@kept.example/path/", kCookie | kNormal);
    AddEntry("http://gone.example/", kNormal);
    SettingList cookies;
    cookies[0] = "KEPT.example";

    WalkUrlCache(cache, results, kCookiesMode, KeepText::FromList(cookies));

    const std::vector<std::string> expected = {"Found 3 Cookies in Internet Cache",
                                               "Deleted 2 Cookies from Internet Cache",
                                               "Kept 1 Cookies in Internet Cache"};
    EXPECT_EQ(results.lines, expected);
    EXPECT_EQ(CacheNames(), Sorted({"Cookie:user@kept.example/", "http://gone.example/"}));
}

TEST_F(UrlCacheWalk, ListCookieSitesNamesTheCookieEntriesAndDeletesNothing) {
    AddEntry("Cookie:user@one.example/", kCookie | kNormal);
    AddEntry("Cookie:other@one.example/", kCookie | kNormal);
    AddEntry("Cookie:user@two.example/path/", kCookie | kNormal);
    AddEntry("http://three.example/", kNormal);
    const std::vector<std::string> before = CacheNames();

    ListBoxRows sites;
    ListCookieSites(cache, sites);

    EXPECT_EQ(Sorted(sites), Sorted({"one.example", "one.example", "two.example/path"}));
    EXPECT_EQ(CacheNames(), before);
}

}  // namespace
}  // namespace nimbral::wintest

namespace nimbral::contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, UrlCacheContract, wintest::Win32UrlCacheHarness);
}  // namespace nimbral::contract
