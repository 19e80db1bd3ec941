// The update of the community rules against a web server on 127.0.0.1 that the test starts: the
// system's internet library, the checks, and the file replaced in one step or left as it was.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "LocalHttpServer.h"
#include "WinTestSupport.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32WebDownload.h"
#include "rules/RuleUpdate.h"

namespace nimbral::wintest {
namespace {

const std::string kOld = "; Version: 260101\r\n[Old *]\r\nDetectFile=%AppData%\\Old\r\n";

std::string RuleFile(const std::string& version, int entries, int stated) {
    std::string text = "; Version: " + version + "\r\n; # of entries: " + std::to_string(stated) + "\r\n";
    for (int i = 0; i < entries; ++i) {
        text += "\r\n[Tool " + std::to_string(i) + " *]\r\nDetectFile=%ProgramFiles%\\Tool" + std::to_string(i) +
                "\r\nFileKey1=%LocalAppData%\\Tool" + std::to_string(i) + "\\Cache|*|RECURSE\r\n";
    }
    return text;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class RuleUpdateOverTheNetwork : public ::testing::Test {
  protected:
    RuleUpdateOverTheNetwork() { WriteText(path, kOld); }
    ~RuleUpdateOverTheNetwork() override { RemoveTree(folder); }

    RuleUpdateOutcome Update(const std::string& url, const WebDownload::Progress& progress = {}) {
        return UpdateCommunityRules(web, replacer, url, path, progress);
    }

    const std::string folder = MakeScratchFolder("nimbral-rules-update");
    const std::string path = folder + "\\winapp2.ini";
    LocalHttpServer server;
    // A stall is given up after a second and a half here, not the half minute a user waits.
    win32::Win32WebDownload web{1500, true};
    win32::Win32FileSystem fs;
    win32::Win32FileReplacer replacer{fs};
};

TEST_F(RuleUpdateOverTheNetwork, OnlyAGoodFileReplacesTheOldOneAndEveryFailureKeepsIt) {
    const std::string good = RuleFile("260801", 40, 40);
    const std::string kept = ". The old file is kept.";
    const struct {
        const char* path;
        HttpAnswer answer;
        std::string message;
    } cases[] = {
        {"/truncated",
         {"200 OK", good, true, {}, good.size() / 2},
         "The community rules were not updated: the download was cut short" + kept},
        {"/short-count",
         {"200 OK", RuleFile("260801", 39, 40)},
         "The community rules were not updated: it holds 39 entries where it says 40" + kept},
        {"/winapp3",
         {"200 OK", "; Version: 260801 Winapp3\r\n" + good.substr(good.find('\n') + 1)},
         "The community rules were not updated: it is the Winapp3 flavour, whose rules sweep whole drives" + kept},
        {"/missing",
         {"404 Not Found", "no such file"},
         "The community rules were not updated: the server answered 404" + kept},
        {"/stall",
         {"200 OK", good, true, {}, {}, 1000},
         "The community rules were not updated: the server stopped sending" + kept},
        {"/huge",
         {"200 OK", "", true, {}, {}, {}, 100ull * 1024 * 1024},
         "The community rules were not updated: the file is larger than 16 MB" + kept},
        {"/huge-unannounced",
         {"200 OK", "", false, {}, {}, {}, 100ull * 1024 * 1024},
         "The community rules were not updated: the file is larger than 16 MB" + kept},
        {"/good", {"200 OK", good}, "The community rules are now version 260801."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        server.Serve(c.path, c.answer);
        const DWORD started = ::GetTickCount();
        const RuleUpdateOutcome outcome = Update(server.Url(c.path));
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_LT(::GetTickCount() - started, 15000u);
        EXPECT_EQ(Read(path), outcome.updated ? good : kOld);
        EXPECT_EQ(::GetFileAttributesA((path + ".part").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing left beside";
    }
}

TEST_F(RuleUpdateOverTheNetwork, NoServerAtAllIsSaidSo) {
    const std::string closed = "http://127.0.0.1:9/winapp2.ini";
    EXPECT_EQ(Update(closed).message,
              "The community rules were not updated: the server could not be reached. The old file is kept.");
    EXPECT_EQ(Read(path), kOld);
}

TEST_F(RuleUpdateOverTheNetwork, ProgressFollowsTheFileAndStoppingItKeepsTheOldFile) {
    const std::string good = RuleFile("260802", 3000, 3000);
    server.Serve("/slow", {"200 OK", good, true, {}, {}, {}, 0, 32 * 1024, 30});
    std::vector<std::uint64_t> received;
    std::uint64_t announced = 0;
    const RuleUpdateOutcome whole = Update(server.Url("/slow"), [&](std::uint64_t got, std::uint64_t total) {
        received.push_back(got);
        announced = total;
        return true;
    });
    EXPECT_EQ(whole.message, "The community rules are now version 260802.");
    EXPECT_EQ(announced, good.size());
    ASSERT_GT(received.size(), 10u);
    EXPECT_TRUE(std::is_sorted(received.begin(), received.end()));
    EXPECT_EQ(received.back(), good.size());

    WriteText(path, kOld);
    std::uint64_t stoppedAt = 0;
    const RuleUpdateOutcome stopped = Update(server.Url("/slow"), [&](std::uint64_t got, std::uint64_t) {
        stoppedAt = got;
        return got < 64 * 1024;
    });
    EXPECT_EQ(stopped.message,
              "The community rules were not updated: the download was cancelled. The old file is kept.");
    EXPECT_LT(stoppedAt, good.size());
    EXPECT_EQ(Read(path), kOld);
}

TEST_F(RuleUpdateOverTheNetwork, APieceLeftBesideByAnEarlierRunIsNoObstacle) {
    WriteText(path + ".part", "half of an earlier download");
    const std::string good = RuleFile("260803", 2, 2);
    server.Serve("/good", {"200 OK", good});
    EXPECT_EQ(Update(server.Url("/good")).message, "The community rules are now version 260803.");
    EXPECT_EQ(Read(path), good);
}

}  // namespace
}  // namespace nimbral::wintest
