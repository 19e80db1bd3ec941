#include "system/clsOS.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "doubles/FakeOsVersionSource.h"

namespace nimbral {
namespace {

constexpr std::uint32_t kWin9x = 1;
constexpr std::uint32_t kNt = 2;

// The system hands back the whole fixed-size field, NUL padded.
std::string CsdField(std::string_view text) {
    std::string field(text);
    field.resize(128, '\0');
    return field;
}

OsVersionRecord Basic(std::uint32_t major, std::uint32_t minor, std::uint32_t platform, std::string_view csd = {}) {
    OsVersionRecord record;
    record.majorVersion = major;
    record.minorVersion = minor;
    record.buildNumber = 1234;
    record.platformId = platform;
    record.csdVersion = CsdField(csd);
    return record;
}

OsVersionExRecord Extended(std::uint32_t major,
                           std::uint32_t minor,
                           std::uint16_t spMajor,
                           std::uint16_t spMinor,
                           std::uint16_t suite,
                           std::uint8_t productType) {
    OsVersionExRecord record;
    record.majorVersion = major;
    record.minorVersion = minor;
    record.platformId = kNt;
    record.servicePackMajor = spMajor;
    record.servicePackMinor = spMinor;
    record.suiteMask = suite;
    record.productType = productType;
    return record;
}

struct NameCase {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t platform;
    std::string_view csd;
    std::string_view name;
    bool extended;
};

TEST(ClassifyOs, NamesEveryVersionAndKnowsWhichHaveTheExtendedRecord) {
    const NameCase cases[] = {
        {3, 51, kNt, "", "Windows NT 3.51", false},
        {3, 10, kNt, "", "Windows NT 3.10", false},
        {3, 51, kWin9x, "", "Unknown OS Version 3.51", false},
        {3, 51, 0, "", "Unknown OS Version 3.51", false},

        {4, 0, kWin9x, " B", "Windows 95 OSR2", false},
        {4, 0, kWin9x, " C", "Windows 95 OSR2", false},
        {4, 0, kWin9x, " c", "Windows 95 OSR2", false},
        {4, 0, kWin9x, "", "Windows 95", false},
        {4, 0, kWin9x, " A", "Windows 95", false},

        {4, 0, kNt, "Service Pack 6", "Windows NT 4.0", true},
        {4, 0, kNt, "Service Pack 6a", "Windows NT 4.0", true},
        {4, 0, kNt, "service pack 6", "Windows NT 4.0", true},
        {4, 0, kNt, "  Service Pack 6  ", "Windows NT 4.0", true},
        {4, 0, kNt, "Service Pack 5", "Windows NT 4.0", false},
        {4, 0, kNt, "Service Pack 10", "Windows NT 4.0", false},
        {4, 0, kNt, "Service Pack", "Windows NT 4.0", false},
        {4, 0, kNt, "", "Windows NT 4.0", false},
        // A tab is not a blank, so it is not trimmed away and sorts before the "S".
        {4, 0, kNt, "\tService Pack 6", "Windows NT 4.0", false},

        {4, 0, 0, "", "Unknown OS Version 4.0 Platform 0", false},
        {4, 0, 3, "", "Unknown OS Version 4.0 Platform 3", false},

        {4, 10, kWin9x, " A ", "Windows 98 SE", false},
        {4, 10, kWin9x, "a", "Windows 98 SE", false},
        {4, 10, kWin9x, "", "Windows 98", false},
        {4, 10, kWin9x, " B", "Windows 98", false},
        {4, 90, kWin9x, " ", "Windows ME", false},
        {4, 3, kWin9x, "", "Unknown OS Version 4.3", false},

        {5, 0, kNt, "", "Windows 2000", true},
        {5, 1, kNt, "Service Pack 3", "Windows XP", true},
        {5, 2, kNt, "", "Windows .NET", true},
        {5, 7, kNt, "", "Unknown OS Version 5.7", true},

        {6, 0, kNt, "", "Unknown OS Version 6.0", false},
        {6, 1, kNt, "Service Pack 1", "Unknown OS Version 6.1", false},
        {10, 0, kNt, "", "Unknown OS Version 10.0", false},
        {2, 0, kNt, "", "Unknown OS Version 2.0", false},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << " platform " << c.platform << " csd \"" << c.csd
                                        << "\"");
        const OsClassification result = ClassifyOs(Basic(c.major, c.minor, c.platform, c.csd));
        EXPECT_EQ(result.name, c.name);
        EXPECT_EQ(result.extended, c.extended);
    }
}

TEST(ClassifyOs, NtServicePackTestLooksPastNulsInTheField) {
    // NULs go before the comparison wherever they sit, not only in the padding.
    EXPECT_TRUE(ClassifyOs(Basic(4, 0, kNt, std::string_view("\0Service Pack 6", 15))).extended);
}

TEST(ServicePackText, IsEmptyOnlyWithoutAnyServicePack) {
    EXPECT_EQ(ServicePackText(0, 0), "");
    EXPECT_EQ(ServicePackText(3, 0), "Service Pack 3.0");
    EXPECT_EQ(ServicePackText(0, 1), "Service Pack 0.1");
    EXPECT_EQ(ServicePackText(65535, 12), "Service Pack 65535.12");
}

TEST(SuiteText, EachFlagAloneDropsOnlyTheFinalComma) {
    const struct {
        std::uint16_t bit;
        std::string_view text;
    } cases[] = {
        {0x4, "Microsoft BackOffice components are installed "},
        {0x8, "Communications Server installed "},
        {0x80, "Datacenter Server is installed "},
        {0x40, "Embedded NT installed "},
        {0x100, "Single User "},
        {0x1, "Microsoft Small Business Server is installed "},
        {0x20, "Microsoft Small Business Server is installed with the restrictive client license in force "},
        {0x10, "Terminal Services is installed "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "suite 0x" << std::hex << c.bit);
        EXPECT_EQ(SuiteText(c.bit), c.text);
    }
}

TEST(SuiteText, CombinationsFollowTheFixedOrderNotTheBitOrder) {
    EXPECT_EQ(SuiteText(0x0), "");
    // Enterprise, personal and blade have no phrase of their own.
    EXPECT_EQ(SuiteText(0x2 | 0x200 | 0x400), "");
    EXPECT_EQ(SuiteText(0x1 | 0x80), "Datacenter Server is installed ,Microsoft Small Business Server is installed ");
    EXPECT_EQ(SuiteText(0x10 | 0x100 | 0x200), "Single User ,Terminal Services is installed ");
    EXPECT_EQ(SuiteText(0x1FF),
              "Microsoft BackOffice components are installed ,"
              "Communications Server installed ,"
              "Datacenter Server is installed ,"
              "Embedded NT installed ,"
              "Single User ,"
              "Microsoft Small Business Server is installed ,"
              "Microsoft Small Business Server is installed with the restrictive client license in force ,"
              "Terminal Services is installed ");
}

struct ProductCase {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint8_t type;
    std::uint16_t suite;
    std::string_view text;
};

TEST(ProductTypeText, CoversEveryCellOfTheTable) {
    const ProductCase cases[] = {
        {4, 0, 1, 0, "Workstation"},
        {4, 0, 1, 0x200, "Workstation"},
        {4, 1, 1, 0, "Workstation"},
        {4, 0, 2, 0, "Domain Controller"},
        {4, 0, 3, 0, "Server"},
        {4, 0, 3, 0x2, "Advanced Server"},
        {4, 0, 3, 0x80, "Server"},

        {5, 0, 1, 0, "Professional"},
        {5, 0, 1, 0x200, "Professional"},
        {5, 0, 2, 0x2, "Domain Controller"},
        {5, 0, 3, 0, "Server"},
        {5, 0, 3, 0x2, "Advanced Server"},

        {5, 1, 1, 0, "Professional"},
        {5, 1, 1, 0x200, "Home Edition"},
        {5, 1, 1, 0x300, "Home Edition"},
        {5, 1, 2, 0, "Domain Controller"},
        {5, 1, 3, 0, "Server"},
        {5, 1, 3, 0x2, "Server"},

        {5, 2, 1, 0, ""},
        {5, 2, 1, 0x200, ""},
        {5, 2, 2, 0x80, "Domain Controller"},
        {5, 2, 3, 0, "Server"},
        {5, 2, 3, 0x400, "Web Server"},
        {5, 2, 3, 0x2, "Enterprise Server"},
        {5, 2, 3, 0x2 | 0x400, "Enterprise Server"},
        {5, 2, 3, 0x80, "DataCenter Server"},
        {5, 2, 3, 0x80 | 0x2 | 0x400, "DataCenter Server"},

        {5, 1, 0, 0, ""},
        {5, 1, 4, 0x200, ""},
        {4, 0, 0xFF, 0x2, ""},

        {5, 3, 2, 0, ""},
        {6, 0, 1, 0, ""},
        {6, 1, 3, 0x2, ""},
        {3, 51, 1, 0, ""},
    };
    for (const ProductCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << " type " << int{c.type} << " suite 0x"
                                        << std::hex << c.suite);
        EXPECT_EQ(ProductTypeText(c.major, c.minor, c.type, c.suite), c.text);
    }
}

TEST(ClsOs, FillsEveryMemberForAnExtendedVersion) {
    FakeOsVersionSource source;
    source.basic = Basic(5, 1, kNt, "Service Pack 3");
    source.basic->buildNumber = 2600;
    source.extended = Extended(5, 1, 3, 0, 0x300, 1);

    const clsOS os(source);

    EXPECT_EQ(os.OS_Name, "Windows XP");
    EXPECT_EQ(os.OS_Version, "5.1");
    EXPECT_EQ(os.OS_Build, "2600");
    EXPECT_EQ(os.OS_Additional, "Service Pack 3");
    EXPECT_EQ(os.OS_ServicePack, "Service Pack 3.0");
    EXPECT_EQ(os.OS_Suite, "Single User ");
    EXPECT_EQ(os.OS_ProductType, "Home Edition");
    EXPECT_EQ(source.extendedCalls, 1);
}

TEST(ClsOs, NtFourWithServicePackSixReadsTheExtendedRecord) {
    FakeOsVersionSource source;
    source.basic = Basic(4, 0, kNt, "Service Pack 6a");
    source.basic->buildNumber = 1381;
    source.extended = Extended(4, 0, 6, 0, 0x2, 3);

    const clsOS os(source);

    EXPECT_EQ(os.OS_Name, "Windows NT 4.0");
    EXPECT_EQ(os.OS_Version, "4.0");
    EXPECT_EQ(os.OS_Build, "1381");
    EXPECT_EQ(os.OS_ServicePack, "Service Pack 6.0");
    EXPECT_EQ(os.OS_Suite, "");
    EXPECT_EQ(os.OS_ProductType, "Advanced Server");
}

TEST(ClsOs, VersionsWithoutTheExtendedRecordNeverAskForIt) {
    const OsVersionRecord records[] = {
        Basic(3, 51, kNt), Basic(4, 0, kWin9x, " C"),          Basic(4, 0, kNt, "Service Pack 5"),
        Basic(4, 0, 3),    Basic(4, 10, kWin9x, " A "),        Basic(4, 90, kWin9x),
        Basic(6, 0, kNt),  Basic(6, 1, kNt, "Service Pack 1"),
    };
    for (const OsVersionRecord& record : records) {
        SCOPED_TRACE(testing::Message() << record.majorVersion << "." << record.minorVersion);
        FakeOsVersionSource source;
        source.basic = record;
        source.extended = Extended(5, 1, 3, 0, 0x10, 1);

        const clsOS os(source);

        EXPECT_FALSE(os.OS_Name.empty());
        EXPECT_FALSE(os.OS_Version.empty());
        EXPECT_EQ(source.extendedCalls, 0);
        EXPECT_EQ(os.OS_ServicePack, "");
        EXPECT_EQ(os.OS_Suite, "");
        EXPECT_EQ(os.OS_ProductType, "");
    }
}

TEST(ClsOs, RefusedBasicQueryLeavesEverythingEmpty) {
    FakeOsVersionSource source;
    source.extended = Extended(5, 1, 3, 0, 0x10, 1);

    const clsOS os(source);

    EXPECT_EQ(source.basicCalls, 1);
    EXPECT_EQ(source.extendedCalls, 0);
    for (const std::string* member : {&os.OS_Name, &os.OS_Version, &os.OS_Build, &os.OS_Additional, &os.OS_ServicePack,
                                      &os.OS_Suite, &os.OS_ProductType}) {
        EXPECT_EQ(*member, "");
    }
}

TEST(ClsOs, RefusedExtendedQueryKeepsTheBasicMembers) {
    FakeOsVersionSource source;
    source.basic = Basic(5, 0, kNt, "Service Pack 4");
    source.basic->buildNumber = 2195;

    const clsOS os(source);

    EXPECT_EQ(source.extendedCalls, 1);
    EXPECT_EQ(os.OS_Name, "Windows 2000");
    EXPECT_EQ(os.OS_Version, "5.0");
    EXPECT_EQ(os.OS_Build, "2195");
    EXPECT_EQ(os.OS_Additional, "Service Pack 4");
    EXPECT_EQ(os.OS_ServicePack, "");
    EXPECT_EQ(os.OS_Suite, "");
    EXPECT_EQ(os.OS_ProductType, "");
}

TEST(ClsOs, AdditionalDropsEveryNulButKeepsBlanks) {
    FakeOsVersionSource source;
    source.basic = Basic(6, 1, kNt, std::string_view(" Service\0Pack 1 ", 16));
    source.basic->buildNumber = 4294967295u;

    const clsOS os(source);

    EXPECT_EQ(os.OS_Additional, " ServicePack 1 ");
    EXPECT_EQ(os.OS_Build, "4294967295");
}

TEST(ClsOs, ProductTypeFollowsTheExtendedRecordsOwnVersion) {
    // The two queries agree on the version in practice; the product table is keyed on the extended one.
    FakeOsVersionSource source;
    source.basic = Basic(5, 0, kNt);
    source.extended = Extended(5, 2, 0, 0, 0, 1);

    const clsOS os(source);

    EXPECT_EQ(os.OS_Name, "Windows 2000");
    EXPECT_EQ(os.OS_ProductType, "");
}

}  // namespace
}  // namespace nimbral
