#include "engine/RunUrlCache.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "doubles/FakeUrlCache.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;

// Counts the library's walks, and can refuse a deletion as the library may.
class CountingCache final : public UrlCache {
  public:
    bool Walk(const std::function<void(const std::string&, std::uint32_t)>& visit) override {
        ++walks;
        return cache.Walk(visit);
    }
    bool DeleteEntry(const std::string& name) override { return name != refused && cache.DeleteEntry(name); }

    testing::FakeUrlCache cache;
    std::string refused;
    int walks = 0;
};

std::vector<std::string> Walk(UrlCache& cache, const std::function<bool(const std::string&)>& remove = {}) {
    std::vector<std::string> met;
    cache.Walk([&](const std::string& name, std::uint32_t) {
        met.push_back(name);
        if (remove && remove(name))
            cache.DeleteEntry(name);
    });
    return met;
}

TEST(RunUrlCache, TheNextWalkMeetsWhatTheLastLeftWithoutAskingTheLibrary) {
    CountingCache library;
    for (const char* name : {"Cookie:me@a.example/", "Cookie:me@b.example/", "http://c.example/x", "http://d.example/"})
        library.cache.Add(name, UrlCacheEntryType::kNormal);
    library.refused = "Cookie:me@b.example/";
    RunUrlCache run(library);

    const auto isCookie = [](const std::string& name) { return name.rfind("Cookie:", 0) == 0; };
    EXPECT_THAT(Walk(run, isCookie),
                ElementsAre("Cookie:me@a.example/", "Cookie:me@b.example/", "http://c.example/x", "http://d.example/"));
    // The entry the library refused to delete is met again; the deleted one is not.
    EXPECT_THAT(Walk(run, [](const std::string& name) { return name == "http://c.example/x"; }),
                ElementsAre("Cookie:me@b.example/", "http://c.example/x", "http://d.example/"));
    EXPECT_EQ(library.walks, 1);
    EXPECT_FALSE(library.cache.Contains("http://c.example/x"));

    // A listing serves one walk: the next asks the library again.
    library.cache.Add("http://e.example/", UrlCacheEntryType::kNormal);
    EXPECT_THAT(Walk(run), ElementsAre("Cookie:me@b.example/", "http://d.example/", "http://e.example/"));
    EXPECT_EQ(library.walks, 2);
}

TEST(RunUrlCache, AWalkThatFailsOrStopsLeavesNoListing) {
    CountingCache library;
    library.cache.Add("http://a.example/", UrlCacheEntryType::kNormal);
    RunUrlCache run(library);
    EXPECT_THROW(run.Walk([](const std::string&, std::uint32_t) { throw std::runtime_error("stopped"); }),
                 std::runtime_error);
    // Deleting after the stopped walk marks nothing of it.
    EXPECT_TRUE(run.DeleteEntry("http://a.example/"));
    library.cache.FailWalks(true);
    EXPECT_FALSE(run.Walk([](const std::string&, std::uint32_t) {}));
    library.cache.FailWalks(false);
    library.cache.Add("http://b.example/", UrlCacheEntryType::kNormal);
    EXPECT_THAT(Walk(run), ElementsAre("http://b.example/"));
    EXPECT_EQ(library.walks, 3);
}

}  // namespace
}  // namespace nimbral
