#include <gtest/gtest.h>

#include <string>

#include "system/WindowTexts.h"

namespace nimbral {
namespace {

Identity Maker(std::string company = "Ardent Lume") {
    return Identity{"Nimbral Windows Cleaner", std::move(company), "www.nimbral.example", 2, 2};
}

TEST(WindowTexts, CaptionsNameTheProductAndItsMaker) {
    EXPECT_EQ(MainWindowCaption(Maker()), "Nimbral Windows Cleaner by Ardent Lume");
    EXPECT_EQ(AboutCaption(Maker()), "About Nimbral Windows Cleaner");
}

TEST(WindowTexts, VisitButtonNamesTheRegistrysSiteTheResellerOrTheWebsite) {
    struct Case {
        const char* company;
        const char* weburlname;
        const char* caption;
    };
    const Case cases[] = {
        {"Ardent Lume", "", "Visit www.nimbral.example"},
        {"Ardent Lume", "www.partner.example", "Visit www.partner.example"},
        {"Orrin Vale Enterprise", "www.partner.example", "Visit Orrin Vale Software"},
        {"Orrin Vale Enterprise", "", "Visit Orrin Vale Software"},
        // Only the exact name counts.
        {"orrin vale enterprise", "", "Visit www.nimbral.example"},
        {"Orrin Vale Enterprise ", "", "Visit www.nimbral.example"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.company) + " / " + c.weburlname);
        EXPECT_EQ(VisitCaption(Maker(c.company), c.weburlname), c.caption);
    }
}

TEST(WindowTexts, CleanNowNeedsANonZeroNumberInRun) {
    struct Case {
        const char* run;
        double value;
        bool enabled;
    };
    const Case cases[] = {
        {"1", 1, true},      {"2", 2, true},  {"0", 0, false},  {"0.0", 0, false},  {"", 0, false},
        {"abc", 0, false},   {" 1", 1, true}, {"-1", -1, true}, {"1abc", 1, true},  {".5", 0.5, true},
        {"1e3", 1000, true}, {"1e", 1, true}, {"+0", 0, false}, {"0x10", 0, false}, {"inf", 0, false},
        {"nan", 0, false},   {"-", 0, false}, {".", 0, false},  {"\t3", 3, true},   {"00.000", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.run + "\"");
        EXPECT_EQ(NumericValue(c.run), c.value);
        EXPECT_EQ(CleanNowEnabled(c.run), c.enabled);
    }
}

TEST(WindowTexts, PluginNoticeNamesTheProductTwice) {
    EXPECT_EQ(PluginNotice("Nimbral Windows Cleaner"),
              "Nimbral Windows Cleaner supports all free window washer plugins.  To install plugins, download them "
              "and run their install programs.  You may place them in the default window washer folder "
              "'c:\\program files\\washer' or the plugins folder in your Nimbral Windows Cleaner directory.");
}

TEST(WindowTexts, LauncherKnowsTheWebsiteOnly) {
    EXPECT_EQ(LinkForRequest("Website", Maker()), "www.nimbral.example");
    for (const char* other : {"", "website", "Website ", "Help", "Plugins"}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(LinkForRequest(other, Maker()), "");
    }
}

TEST(WindowTexts, LinksGetTheHttpSchemeUnlessTheyHaveOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.nimbral.example", "http://www.nimbral.example"},
        {"http://www.nimbral.example", "http://www.nimbral.example"},
        {"HTTP://WWW.NIMBRAL.EXAMPLE", "HTTP://WWW.NIMBRAL.EXAMPLE"},
        {"hTTpS://secure.example/a", "hTTpS://secure.example/a"},
        {"http:/broken.example", "http://http:/broken.example"},
        {"ftp://files.example", "http://ftp://files.example"},
        {"www.example/?next=http://elsewhere", "http://www.example/?next=http://elsewhere"},
        {"", "http://"},
    };
    for (const auto& [link, opened] : cases) {
        SCOPED_TRACE(link);
        EXPECT_EQ(WithHttpScheme(link), opened);
    }
}

TEST(WindowTexts, PluginPageIsOnTheProgramsOwnWebsite) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.nimbral.example", "http://www.nimbral.example/plugins/"},
        {"www.nimbral.example/", "http://www.nimbral.example/plugins/"},
        {"HTTPS://secure.nimbral.example", "HTTPS://secure.nimbral.example/plugins/"},
    };
    for (const auto& [website, page] : cases) {
        SCOPED_TRACE(website);
        Identity identity = Maker();
        identity.websiteName = website;
        EXPECT_EQ(PluginDownloadPage(identity), page);
    }
}

// Whatever is typed, the shell is handed a web address: never a program, a file or a folder to open.
TEST(WindowTexts, TypedAddressReachesTheShellAsAWebAddress) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.example.org/plugins", "http://www.example.org/plugins"},
        {"  https://www.example.org/a b  ", "https://www.example.org/a b"},
        {"HTTP://WWW.EXAMPLE.ORG", "HTTP://WWW.EXAMPLE.ORG"},
        {"calc", "http://calc"},
        {"C:\\windows\\system32\\cmd.exe", "http://C:\\windows\\system32\\cmd.exe"},
        {"file:///C:/windows/notepad.exe", "http://file:///C:/windows/notepad.exe"},
        {"javascript:alert(1)", "http://javascript:alert(1)"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& [typed, address] : cases) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(WebAddressForShell(typed), address);
    }
}

}  // namespace
}  // namespace nimbral
