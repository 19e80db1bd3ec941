#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/UrlCacheContract.h"
#include "doubles/FakeUrlCache.h"
#include "doubles/RecordingResults.h"
#include "engine/modIECache.h"

namespace nimbral {
namespace {

using testing::FakeUrlCache;
using testing::RecordingResults;
using namespace UrlCacheEntryType;

std::vector<std::string> Summary(const std::string& found,
                                 const std::string& deleted,
                                 const std::string& kept,
                                 const std::string& label) {
    return {"Found " + found + " " + label + " in Internet Cache",
            "Deleted " + deleted + " " + label + " from Internet Cache",
            "Kept " + kept + " " + label + " in Internet Cache"};
}

KeepText NoKeepText() {
    return KeepText::FromList(SettingList());
}

TEST(WalkUrlCache, AnEmptyOrUnreadableCacheStillGivesTheThreeSummaryLines) {
    const struct {
        const char* mode;
        const char* label;
        bool unreadable;
    } cases[] = {
        {kCookiesMode, "Cookies", false},
        {kTempFilesMode, "Temporary Internet Files", false},
        {kCookiesMode, "Cookies", true},
        {kTempFilesMode, "Temporary Internet Files", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.unreadable ? ", unreadable" : ", empty"));
        FakeUrlCache cache;
        if (c.unreadable) {
            cache.Add("Cookie:user@example.com/", kCookie | kNormal);
            cache.Add("http://example.com/", kNormal);
            cache.FailWalks(true);
        }
        RecordingResults results;
        WalkUrlCache(cache, results, c.mode, NoKeepText());
        EXPECT_EQ(results.lines, Summary("0", "0", "0", c.label));
        EXPECT_EQ(cache.DeleteCalls(), 0);
    }
}

TEST(WalkUrlCache, AnyOtherModeHandlesNothingAndIsItsOwnLabel) {
    // Modes are compared exactly.
    for (const char* mode : {"cookies", "Temp files", "Temporary Internet Files", ""}) {
        SCOPED_TRACE(mode);
        FakeUrlCache cache;
        cache.Add("Cookie:user@example.com/", kCookie | kNormal);
        cache.Add("http://example.com/", kNormal);
        RecordingResults results;
        WalkUrlCache(cache, results, mode, NoKeepText());
        EXPECT_EQ(results.lines, Summary("0", "0", "0", mode));
        EXPECT_EQ(cache.DeleteCalls(), 0);
    }
}

// One cache with an entry of every kind, walked with an empty keep text: every handled entry goes.
class WalkUrlCacheModes : public ::testing::Test {
  protected:
    WalkUrlCacheModes() {
        cache.Add("Cookie:user@example.com/", kCookie | kNormal);
        cache.Add("COOKIE:user@upper.example/", kNormal);
        cache.Add("http://search.example/?q=cookie:", kNormal);
        cache.Add("Cookie:user@nonormal.example/", kCookie);
        cache.Add("Visited: user@http://example.com/", kUrlHistory | kNormal);
        cache.AddVerbatim("http://history-bit.example/", kUrlHistory | kNormal);
        cache.Add("http://www.example.com/index.html", kNormal);
        cache.AddVerbatim("http://nonormal.example/", 0x4);
        cache.Add("", kNormal);
        cache.Add("no-slash-or-at", kNormal);
        cache.Add(longName, kNormal);
    }

    std::vector<std::string> Walk(const std::string& mode) {
        const std::vector<std::string> before = cache.Names();
        WalkUrlCache(cache, results, mode, NoKeepText());
        std::vector<std::string> gone;
        for (const std::string& name : before) {
            if (!cache.Contains(name))
                gone.push_back(name);
        }
        return gone;
    }

    const std::string longName = "http://long.example/" + std::string(5000, 'p');
    FakeUrlCache cache;
    RecordingResults results;
};

TEST_F(WalkUrlCacheModes, CookiesModeTakesTheNormalEntriesNamingCookieInAnyCase) {
    const std::vector<std::string> expected = {"Cookie:user@example.com/", "COOKIE:user@upper.example/",
                                               "http://search.example/?q=cookie:"};
    EXPECT_EQ(Walk(kCookiesMode), expected);
    EXPECT_EQ(results.lines, Summary("3", "3", "0", "Cookies"));
}

TEST_F(WalkUrlCacheModes, TempFilesModeTakesTheOtherNormalEntriesButLeavesHistoryToTheHistoryStep) {
    const std::vector<std::string> expected = {"http://www.example.com/index.html", "", "no-slash-or-at", longName};
    EXPECT_EQ(Walk(kTempFilesMode), expected);
    EXPECT_EQ(results.lines, Summary("4", "4", "0", "Temporary Internet Files"));
}

// The keep test looks for the entry's host key inside all keep entries joined together.
TEST(WalkUrlCache, KeepsTheEntriesWhoseHostKeyOccursInTheJoinedKeepText) {
    SettingList sites;
    sites[0] = "www.kept.example/";
    sites[1] = "alpha.com";
    sites[2] = "beta.org";
    sites[3] = "CAF\xC9.example";
    sites[10000] = "last.example";
    const KeepText keep = KeepText::FromList(sites);

    const struct {
        const char* mode;
        std::string name;
        bool kept;
    } cases[] = {
        {kTempFilesMode, "http://www.kept.example/page.html", true},
        {kTempFilesMode, "http://WWW.KEPT.EXAMPLE/x", true},
        {kTempFilesMode, "http://kept/x", true},     // a piece of a keep entry
        {kTempFilesMode, "http://ept.exa/", true},   // even part of a label
        {kTempFilesMode, "http://combeta/x", true},  // the end of one entry and the start of the next
        {kTempFilesMode, "http://examplelast.example/", true},
        {kTempFilesMode, "http://caf\xE9.EXAMPLE/menu", true},
        {kTempFilesMode, "http://www.kept.example[1]/x", true},
        {kTempFilesMode, "user@http://www.kept.example/", true},
        {kTempFilesMode, "", true},  // an empty key occurs in any keep text with something in it
        {kTempFilesMode, "http://", true},
        {kTempFilesMode, "/", true},
        {kTempFilesMode, "http://sub.kept.example/x", false},
        {kTempFilesMode, "http://other.example/www.kept.example/", false},
        {kTempFilesMode, "/kept.example", false},  // a leading "/" is no place to cut
        {kTempFilesMode, "no-slash-or-at", false},
        {kTempFilesMode, "http://" + std::string(5000, 'k') + ".example/", false},
        {kCookiesMode, "Cookie:user@kept.example/", true},
        {kCookiesMode, "Cookie:user@www.Kept.Example/", true},
        {kCookiesMode, "Cookie:user@", true},
        {kCookiesMode, "Cookie:user@kept.example/path/", false},  // cookies are not cut at their path
        {kCookiesMode, "Cookie:user@other.example/", false},
        {kCookiesMode, "Cookie:alpha.com/", false},  // without "@" the whole name is the key
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + ": " + c.name.substr(0, 60));
        FakeUrlCache cache;
        cache.Add(c.name, kNormal);
        RecordingResults results;
        WalkUrlCache(cache, results, c.mode, keep);
        EXPECT_EQ(cache.Contains(c.name), c.kept);
        const std::string label = c.mode == std::string(kCookiesMode) ? "Cookies" : "Temporary Internet Files";
        EXPECT_EQ(results.lines, Summary("1", c.kept ? "0" : "1", c.kept ? "1" : "0", label));
    }
}

// Stands for a library that refuses every deletion.
class RefusingDeletes final : public UrlCache {
  public:
    explicit RefusingDeletes(FakeUrlCache& cache) : cache_(cache) {}
    bool Walk(const std::function<void(const std::string&, std::uint32_t)>& visit) override {
        return cache_.Walk(visit);
    }
    bool DeleteEntry(const std::string&) override { return false; }

  private:
    FakeUrlCache& cache_;
};

TEST(WalkUrlCache, AnEntryTheLibraryFailsToDeleteCountsAsDeletedAllTheSame) {
    FakeUrlCache cache;
    cache.Add("Cookie:user@a.example/", kCookie | kNormal);
    cache.Add("Cookie:user@b.example/", kCookie | kNormal);
    RefusingDeletes refusing(cache);
    RecordingResults results;
    WalkUrlCache(refusing, results, kCookiesMode, NoKeepText());
    EXPECT_EQ(results.lines, Summary("2", "2", "0", "Cookies"));
    EXPECT_EQ(cache.Names().size(), 2u);
}

TEST(WalkUrlCache, CountsHoldWhateverTheNumberOfEntriesAndTheWindowStaysAlive) {
    constexpr int kKept = 40000;
    constexpr int kDeleted = 30000;
    FakeUrlCache cache;
    for (int i = 0; i < kKept + kDeleted; ++i)
        cache.Add((i < kKept ? "http://kept.example/" : "http://gone.example/") + std::to_string(i), kNormal);
    RecordingResults results;
    std::int64_t duringWalk = 0;
    results.onProcessMessages = [&] {
        if (results.lines.empty())
            ++duringWalk;
    };

    WalkUrlCache(cache, results, kTempFilesMode, KeepText("kept.example"));
    EXPECT_EQ(results.lines, Summary("70000", "30000", "40000", "Temporary Internet Files"));
    EXPECT_EQ(cache.Names().size(), static_cast<std::size_t>(kKept));
    EXPECT_GE(duringWalk, kKept + kDeleted);
}

TEST(ListCookieSites, ListsEachNormalCookieEntryByWhatFollowsItsFirstAtWithoutTheFinalSlash) {
    FakeUrlCache cache;
    const struct {
        std::string name;
        std::uint32_t type;
    } entries[] = {
        {"Cookie:user@host.example/path/", kCookie | kNormal},
        {"Cookie:user@www.host.example/", kCookie | kNormal},
        {"Cookie:user@http://host[1]/", kCookie | kNormal},
        {"Cookie:first@second@third/", kCookie | kNormal},
        {"Cookie:user@/", kCookie | kNormal},
        {"Cookie:no-at.example/", kCookie | kNormal},
        {"cookie:lower@case.example/", kNormal},
        {"Cookie:u1@dup.example/", kCookie | kNormal},
        {"Cookie:u2@dup.example/", kCookie | kNormal},
        {"Cookie:user@nonormal.example/", kCookie},
        {"Visited: user@http://host.example/", kUrlHistory | kNormal},
        {"http://host.example/", kNormal},
    };
    for (const auto& e : entries)
        cache.Add(e.name, e.type);
    // In the walk's order: entries named "Cookie:" exactly come before all others.
    const std::vector<std::string> expected = {
        "host.example/path",    "www.host.example", "http://host[1]", "second@third", "",
        "Cookie:no-at.example", "dup.example",      "dup.example",    "case.example",
    };

    ListBoxRows sites = {"left from before"};
    ListCookieSites(cache, sites);
    EXPECT_EQ(sites, expected);
    EXPECT_EQ(cache.DeleteCalls(), 0);
    EXPECT_EQ(cache.Names().size(), std::size(entries));
}

TEST(ListCookieSites, AnUnreadableCacheLeavesTheListEmpty) {
    FakeUrlCache cache;
    cache.Add("Cookie:user@host.example/", kCookie | kNormal);
    cache.FailWalks(true);
    ListBoxRows sites = {"left from before"};
    ListCookieSites(cache, sites);
    EXPECT_TRUE(sites.empty());
}

}  // namespace

namespace testing {
namespace {

struct FakeUrlCacheHarness {
    FakeUrlCache cache;
    UrlCache& Get() { return cache; }
    void Add(const std::string& sourceName, std::uint32_t entryType) { cache.Add(sourceName, entryType); }
    bool Exists(const std::string& sourceName) { return cache.Contains(sourceName); }
};

}  // namespace
}  // namespace testing

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, UrlCacheContract, testing::FakeUrlCacheHarness);
}  // namespace contract

}  // namespace nimbral
