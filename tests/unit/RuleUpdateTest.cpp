// The update of the community rules: what is taken, and what the user is told, over a download and
// a file replacement that answer as the test says.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "rules/RuleUpdate.h"

namespace nimbral {
namespace {

class ScriptedDownload final : public WebDownload {
  public:
    Download Fetch(const std::string& url, std::uint64_t limit, const Progress& progress) override {
        asked = url;
        askedLimit = limit;
        return answer;
    }
    Download answer;
    std::string asked;
    std::uint64_t askedLimit = 0;
};

class RecordingReplacer final : public FileReplacer {
  public:
    bool Replace(const std::string& path, const std::string& content) override {
        replaced = path;
        written = content;
        return succeeds;
    }
    bool succeeds = true;
    std::optional<std::string> replaced;
    std::string written;
};

const std::string kGood =
    "; Version: 260730\r\n; # of entries: 2\r\n\r\n[Alpha *]\r\nDetectFile=%AppData%\\Alpha\r\n"
    "FileKey1=%AppData%\\Alpha|*.log\r\n\r\n[Beta *]\r\nDetectFile=%AppData%\\Beta\r\nFileKey1=%AppData%\\Beta|*\r\n";

Download Done(std::string body) {
    return {Download::Outcome::kDone, 200, std::move(body)};
}

TEST(RuleUpdate, OnlyAWholeCheckedFileOfTheBaseFlavourReplacesTheOldOne) {
    const std::string kept = ". The old file is kept.";
    const struct {
        const char* what;
        Download download;
        std::string message;
    } cases[] = {
        {"a good file", Done(kGood), "The community rules are now version 260730."},
        {"a good file with a byte order mark", Done("\xEF\xBB\xBF" + kGood),
         "The community rules are now version 260730."},
        {"not there",
         {Download::Outcome::kHttpError, 404, ""},
         "The community rules were not updated: the server answered 404" + kept},
        {"too large",
         {Download::Outcome::kTooLarge, 200, ""},
         "The community rules were not updated: the file is larger than 16 MB" + kept},
        {"cut short on the way",
         {Download::Outcome::kCutShort, 200, ""},
         "The community rules were not updated: the download was cut short" + kept},
        {"a server that stalls",
         {Download::Outcome::kStalled, 200, ""},
         "The community rules were not updated: the server stopped sending" + kept},
        {"cancelled",
         {Download::Outcome::kCancelled, 200, ""},
         "The community rules were not updated: the download was cancelled" + kept},
        {"no server",
         {Download::Outcome::kFailed, 0, ""},
         "The community rules were not updated: the server could not be reached" + kept},
        {"the Winapp3 flavour", Done("; Version: 260730 Winapp3\r\n" + kGood.substr(kGood.find('\n') + 1)),
         "The community rules were not updated: it is the Winapp3 flavour, whose rules sweep whole drives" + kept},
        {"a page instead of the file", Done("<html><body>Not here</body></html>"),
         "The community rules were not updated: its first line is not \"; Version: \" and a number" + kept},
        {"a version that is no number", Done("; Version: latest\r\n[A *]\r\n"),
         "The community rules were not updated: its first line is not \"; Version: \" and a number" + kept},
        {"no entries", Done("; Version: 1\r\n; nothing here\r\n"),
         "The community rules were not updated: it holds no entries" + kept},
        {"fewer entries than its header counts", Done(kGood.substr(0, kGood.find("[Beta"))),
         "The community rules were not updated: it holds 1 entries where it says 2" + kept},
        {"text of two bytes a character", Done(std::string("\xFF\xFE;\0 \0", 6)),
         "The community rules were not updated: its first line is not \"; Version: \" and a number" + kept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDownload web;
        web.answer = c.download;
        RecordingReplacer replacer;
        const RuleUpdateOutcome outcome =
            UpdateCommunityRules(web, replacer, "http://127.0.0.1:1/rules.ini", "C:\\p\\plugins\\winapp2.ini", {});
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(web.asked, "http://127.0.0.1:1/rules.ini");
        EXPECT_EQ(web.askedLimit, 16u * 1024 * 1024);
        EXPECT_EQ(outcome.updated, replacer.replaced.has_value());
        if (outcome.updated) {
            EXPECT_EQ(*replacer.replaced, "C:\\p\\plugins\\winapp2.ini");
            EXPECT_EQ(replacer.written, c.download.body);
            EXPECT_EQ(outcome.version, "260730");
        }
    }
}

TEST(RuleUpdate, AFileThatCannotBeWrittenLeavesTheOldOne) {
    ScriptedDownload web;
    web.answer = Done(kGood);
    RecordingReplacer replacer;
    replacer.succeeds = false;
    const RuleUpdateOutcome outcome = UpdateCommunityRules(web, replacer, kDefaultRulesUrl, "C:\\w.ini", {});
    EXPECT_FALSE(outcome.updated);
    EXPECT_EQ(outcome.message,
              "The community rules were not updated: it could not be written to the plugins folder. The old file is "
              "kept.");
    EXPECT_EQ(web.asked, "https://raw.githubusercontent.com/MoscaDotTo/Winapp2/master/Non-CCleaner/Winapp2.ini");
}

}  // namespace
}  // namespace nimbral
