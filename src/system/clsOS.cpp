#include "system/clsOS.h"

#include <array>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr std::uint32_t kPlatformWindows = 1;  // the 95/98/ME family
constexpr std::uint32_t kPlatformNt = 2;

constexpr std::uint8_t kProductWorkstation = 1;
constexpr std::uint8_t kProductDomainController = 2;
constexpr std::uint8_t kProductServer = 3;

constexpr std::uint16_t kSuiteEnterprise = 0x2;
constexpr std::uint16_t kSuiteDatacenter = 0x80;
constexpr std::uint16_t kSuitePersonal = 0x200;
constexpr std::uint16_t kSuiteBlade = 0x400;

struct SuitePhrase {
    std::uint16_t bit;
    std::string_view phrase;
};

// The order is the order the phrases are listed in, not the order of the bits.
constexpr std::array<SuitePhrase, 8> kSuitePhrases{{
    {0x4, "Microsoft BackOffice components are installed ,"},
    {0x8, "Communications Server installed ,"},
    {0x80, "Datacenter Server is installed ,"},
    {0x40, "Embedded NT installed ,"},
    {0x100, "Single User ,"},
    {0x1, "Microsoft Small Business Server is installed ,"},
    {0x20, "Microsoft Small Business Server is installed with the restrictive client license in force ,"},
    {0x10, "Terminal Services is installed ,"},
}};

// NT 4.0 answers the extended query only from service pack 6 on. The service-pack text is compared
// as plain text, which is what lets "Service Pack 6a" through and keeps "Service Pack 10" out.
bool NtServicePackHasExtendedRecord(std::string_view csd) {
    return UpperCase(Trim(RemoveNuls(csd))) >= std::string_view("SERVICE PACK 6");
}

std::string VersionNumber(std::uint32_t majorVersion, std::uint32_t minorVersion) {
    return DecimalText(majorVersion) + "." + DecimalText(minorVersion);
}

std::string Unknown(std::uint32_t majorVersion, std::uint32_t minorVersion) {
    return "Unknown OS Version " + VersionNumber(majorVersion, minorVersion);
}

OsClassification ClassifyVersion4(const OsVersionRecord& record, const std::string& upperCsd) {
    const std::uint32_t minor = record.minorVersion;
    if (minor == 0) {
        if (record.platformId == kPlatformWindows) {
            // The OSR2 releases mark themselves with a letter in the service-pack field.
            const bool osr2 = upperCsd.find_first_of("BC") != std::string::npos;
            return {osr2 ? "Windows 95 OSR2" : "Windows 95", false};
        }
        if (record.platformId == kPlatformNt) {
            return {"Windows NT 4.0", NtServicePackHasExtendedRecord(record.csdVersion)};
        }
        return {Unknown(4, minor) + " Platform " + DecimalText(record.platformId), false};
    }
    if (minor == 10) {
        return {upperCsd.find('A') != std::string::npos ? "Windows 98 SE" : "Windows 98", false};
    }
    if (minor == 90) {
        return {"Windows ME", false};
    }
    return {Unknown(4, minor), false};
}

OsClassification ClassifyVersion5(std::uint32_t minor) {
    switch (minor) {
        case 0:
            return {"Windows 2000", true};
        case 1:
            return {"Windows XP", true};
        case 2:
            return {"Windows .NET", true};
        default:
            return {Unknown(5, minor), true};
    }
}

std::string ServerText(std::uint16_t suiteMask) {
    return (suiteMask & kSuiteEnterprise) ? "Advanced Server" : "Server";
}

std::string Server2003Text(std::uint16_t suiteMask) {
    if (suiteMask & kSuiteDatacenter) {
        return "DataCenter Server";
    }
    if (suiteMask & kSuiteEnterprise) {
        return "Enterprise Server";
    }
    if (suiteMask & kSuiteBlade) {
        return "Web Server";
    }
    return "Server";
}

}  // namespace

std::string RemoveNuls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\0') {
            out += c;
        }
    }
    return out;
}

OsClassification ClassifyOs(const OsVersionRecord& record) {
    const std::uint32_t major = record.majorVersion;
    const std::uint32_t minor = record.minorVersion;
    switch (major) {
        case 3:
            if (record.platformId == kPlatformNt) {
                return {"Windows NT " + VersionNumber(3, minor), false};
            }
            return {Unknown(3, minor), false};
        case 4:
            return ClassifyVersion4(record, UpperCase(RemoveNuls(record.csdVersion)));
        case 5:
            return ClassifyVersion5(minor);
        default:
            return {Unknown(major, minor), false};
    }
}

std::string ServicePackText(std::uint16_t servicePackMajor, std::uint16_t servicePackMinor) {
    if (servicePackMajor == 0 && servicePackMinor == 0) {
        return {};
    }
    return "Service Pack " + DecimalText(servicePackMajor) + "." + DecimalText(servicePackMinor);
}

std::string SuiteText(std::uint16_t suiteMask) {
    std::string text;
    for (const SuitePhrase& entry : kSuitePhrases) {
        if (suiteMask & entry.bit) {
            text += entry.phrase;
        }
    }
    if (text.size() > 2) {
        text.pop_back();
    }
    return text;
}

std::string ProductTypeText(std::uint32_t majorVersion,
                            std::uint32_t minorVersion,
                            std::uint8_t productType,
                            std::uint16_t suiteMask) {
    const bool nt4 = majorVersion == 4;
    const bool win2000 = majorVersion == 5 && minorVersion == 0;
    const bool xp = majorVersion == 5 && minorVersion == 1;
    const bool server2003 = majorVersion == 5 && minorVersion == 2;
    if (!nt4 && !win2000 && !xp && !server2003) {
        return {};
    }
    switch (productType) {
        case kProductWorkstation:
            if (nt4) {
                return "Workstation";
            }
            if (xp) {
                return (suiteMask & kSuitePersonal) ? "Home Edition" : "Professional";
            }
            return win2000 ? "Professional" : "";
        case kProductDomainController:
            return "Domain Controller";
        case kProductServer:
            if (xp) {
                return "Server";
            }
            return server2003 ? Server2003Text(suiteMask) : ServerText(suiteMask);
        default:
            return {};
    }
}

clsOS::clsOS(OsVersionSource& source) {
    const std::optional<OsVersionRecord> basic = source.ReadBasic();
    if (!basic) {
        return;
    }
    const OsClassification classification = ClassifyOs(*basic);
    OS_Name = classification.name;
    OS_Version = VersionNumber(basic->majorVersion, basic->minorVersion);
    OS_Build = DecimalText(basic->buildNumber);
    OS_Additional = RemoveNuls(basic->csdVersion);
    if (!classification.extended) {
        return;
    }
    const std::optional<OsVersionExRecord> extended = source.ReadExtended();
    if (!extended) {
        return;
    }
    OS_ServicePack = ServicePackText(extended->servicePackMajor, extended->servicePackMinor);
    OS_Suite = SuiteText(extended->suiteMask);
    OS_ProductType =
        ProductTypeText(extended->majorVersion, extended->minorVersion, extended->productType, extended->suiteMask);
}

}  // namespace nimbral
