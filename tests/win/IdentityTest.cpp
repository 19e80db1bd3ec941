// The test program carries the same version information as nimbral.exe.

#include <gtest/gtest.h>

#include "platform/win32/VersionResource.h"
#include "text/AnsiText.h"

namespace nimbral::wintest {
namespace {

TEST(Identity, ComesFromTheVersionInformation) {
    const Identity identity = win32::ReadIdentity();
    EXPECT_EQ(identity.productName, "Nimbral Windows Cleaner");
    EXPECT_EQ(identity.companyName, "Ardent Lume");
    EXPECT_EQ(identity.Version(), "2.2");
    // A host name on a reserved example domain, never a real site.
    EXPECT_TRUE(ContainsIgnoreCase(identity.websiteName, ".example")) << identity.websiteName;
    EXPECT_EQ(identity.websiteName.find('/'), std::string::npos);
}

}  // namespace
}  // namespace nimbral::wintest
