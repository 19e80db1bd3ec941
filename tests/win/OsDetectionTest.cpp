// OS detection through GetVersionExA, with Wine set to answer as one Windows or another for the
// probe program alone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace nimbral::wintest {
namespace {

std::string ProbeAs(const std::string& version) {
    SetWineVersionFor("os_probe.exe", version);
    std::string output = RunAndCapture("\"" + ProgramFolder() + "os_probe.exe\"");
    std::erase(output, '\r');
    return output;
}

TEST(OsDetection, NamesTheWindowsThePrefixIsSetTo) {
    EXPECT_THAT(ProbeAs("winxp"),
                ::testing::AllOf(::testing::HasSubstr("OS_Name=Windows XP\n"), ::testing::HasSubstr("OS_Version=5.1\n"),
                                 ::testing::HasSubstr("OS_ProductType=Professional\n")));
    EXPECT_THAT(ProbeAs("win7"),
                ::testing::AllOf(::testing::HasSubstr("OS_Name=Unknown OS Version 6.1\n"),
                                 ::testing::HasSubstr("OS_ServicePack=\n"), ::testing::HasSubstr("OS_Suite=\n")));
    EXPECT_THAT(ProbeAs("win2k"), ::testing::HasSubstr("OS_Name=Windows 2000\n"));
}

}  // namespace
}  // namespace nimbral::wintest
