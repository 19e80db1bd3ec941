#pragma once

// What every UrlCache must do, held against the in-memory double natively and against the Win32
// adapter on Wine's real cache. The harness starts from an empty cache and empties it again.
//
// Harness requirements:
//   UrlCache& Get();
//   void Add(const std::string& sourceName, std::uint32_t entryType);  // a new entry, by the system's own means
//   bool Exists(const std::string& sourceName);                        // looked up without walking

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/UrlCache.h"

namespace nimbral::contract {

template <typename Harness>
class UrlCacheContract : public ::testing::Test {
  protected:
    Harness harness;
    UrlCache& cache() { return harness.Get(); }

    struct Seen {
        std::uint32_t type = 0;
        int visits = 0;
    };
    // Every entry a walk gives, with how often it came.
    std::map<std::string, Seen> WalkAll(bool* walked = nullptr) {
        std::map<std::string, Seen> seen;
        const bool ok = cache().Walk([&](const std::string& name, std::uint32_t type) {
            seen[name].type = type;
            ++seen[name].visits;
        });
        if (walked != nullptr)
            *walked = ok;
        return seen;
    }
};

TYPED_TEST_SUITE_P(UrlCacheContract);

TYPED_TEST_P(UrlCacheContract, AnEmptyCacheIsWalkedWithoutVisits) {
    bool walked = false;
    EXPECT_TRUE(this->WalkAll(&walked).empty());
    EXPECT_TRUE(walked);
}

TYPED_TEST_P(UrlCacheContract, TheWalkGivesEveryEntryOnceWithItsNameAndTypeBits) {
    using namespace UrlCacheEntryType;
    constexpr std::uint32_t kSticky = 0x4;
    const struct {
        std::string name;
        std::uint32_t added;
        std::uint32_t reported;
    } cases[] = {
        {"Cookie:user@example.com/", kCookie | kNormal, kCookie | kNormal},
        {"Cookie:user@nonormal.example/", kCookie, kCookie},
        {"Visited: user@http://example.com/", kUrlHistory | kNormal, kUrlHistory | kNormal},
        {"http://www.example.com/path/page.html", kNormal, kNormal},
        // Content entries always carry the normal-entry bit; only the exact "Cookie:" and
        // "Visited:" starts make cookie and history entries.
        {"http://sticky.example.com/", kSticky, kSticky | kNormal},
        {"cookie:lower@example.org/", kNormal, kNormal},
        {"http://caf\xE9.example/", kNormal, kNormal},
        {"", kNormal, kNormal},
        {"no-slash-or-at", kNormal, kNormal},
        {"http://long.example/" + std::string(3000, 'a'), kNormal, kNormal},
    };
    for (const auto& c : cases)
        this->harness.Add(c.name, c.added);

    bool walked = false;
    const auto seen = this->WalkAll(&walked);
    EXPECT_TRUE(walked);
    EXPECT_EQ(seen.size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 60));
        const auto it = seen.find(c.name);
        ASSERT_NE(it, seen.end());
        EXPECT_EQ(it->second.visits, 1);
        EXPECT_EQ(it->second.type, c.reported);
    }
}

TYPED_TEST_P(UrlCacheContract, DeleteEntryRemovesExactlyTheNamedEntry) {
    using namespace UrlCacheEntryType;
    this->harness.Add("http://gone.example/", kNormal);
    this->harness.Add("http://Stays.example/", kNormal);
    this->harness.Add("Cookie:user@stays.example/", kCookie | kNormal);

    EXPECT_TRUE(this->cache().DeleteEntry("http://gone.example/"));
    EXPECT_FALSE(this->harness.Exists("http://gone.example/"));
    // Gone already, never there, or named in other letters: nothing to delete.
    EXPECT_FALSE(this->cache().DeleteEntry("http://gone.example/"));
    EXPECT_FALSE(this->cache().DeleteEntry("http://never.example/"));
    EXPECT_FALSE(this->cache().DeleteEntry("http://stays.example/"));

    const auto seen = this->WalkAll();
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen.count("http://Stays.example/"));
    EXPECT_TRUE(seen.count("Cookie:user@stays.example/"));
    EXPECT_TRUE(this->harness.Exists("http://Stays.example/"));
}

TYPED_TEST_P(UrlCacheContract, DeletingEntriesAsTheyAreVisitedSkipsNone) {
    using namespace UrlCacheEntryType;
    // Enough content entries that some of them overflow into a second table of the library's
    // index, and some of each other kind.
    constexpr int kEntries = 600;
    std::map<std::string, bool> goes;
    for (int i = 0; i < kEntries; ++i) {
        const std::string host = "h" + std::to_string(i) + ".example";
        const int kind = i % 6;
        const std::string name = kind == 0   ? "Cookie:user@" + host + "/"
                                 : kind == 1 ? "Visited: user@http://" + host + "/"
                                             : "http://" + host + "/page";
        this->harness.Add(name, (kind == 0 ? kCookie : kind == 1 ? kUrlHistory : 0) | kNormal);
        goes[name] = (i / 6) % 2 == 0;
    }

    std::map<std::string, int> visits;
    this->cache().Walk([&](const std::string& name, std::uint32_t) {
        ++visits[name];
        if (goes[name])
            this->cache().DeleteEntry(name);
    });
    ASSERT_EQ(visits.size(), goes.size());
    for (const auto& [name, count] : visits)
        EXPECT_EQ(count, 1) << name;

    const auto left = this->WalkAll();
    for (const auto& [name, deleted] : goes) {
        EXPECT_EQ(left.count(name), deleted ? 0u : 1u) << name;
        EXPECT_EQ(this->harness.Exists(name), !deleted) << name;
    }
}

REGISTER_TYPED_TEST_SUITE_P(UrlCacheContract,
                            AnEmptyCacheIsWalkedWithoutVisits,
                            TheWalkGivesEveryEntryOnceWithItsNameAndTypeBits,
                            DeleteEntryRemovesExactlyTheNamedEntry,
                            DeletingEntriesAsTheyAreVisitedSkipsNone);

}  // namespace nimbral::contract
