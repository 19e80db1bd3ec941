#pragma once

// Tells which Windows the program runs on, in words. The only decision that rests on it is whether
// the Recent folder may be emptied, so an unrecognised system is named, never guessed.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/OsVersionSource.h"

namespace nimbral {

struct OsClassification {
    std::string name;
    // Whether the system understands the extended version record; asking an older one for it
    // fails, and the service-pack, suite and product-type texts then stay empty.
    bool extended = false;
};

// Name and extended flag from the basic record alone.
OsClassification ClassifyOs(const OsVersionRecord& record);

// The service-pack field with its NUL padding (and any NUL inside it) taken out.
std::string RemoveNuls(std::string_view text);

// "Service Pack major.minor", or empty text when no service pack is installed.
std::string ServicePackText(std::uint16_t servicePackMajor, std::uint16_t servicePackMinor);

// One phrase per installed suite, in a fixed order, each followed by " ,"; the final comma is dropped
// but the blank before it is kept.
std::string SuiteText(std::uint16_t suiteMask);

// Empty for a version or product type the table does not know.
std::string ProductTypeText(std::uint32_t majorVersion,
                            std::uint32_t minorVersion,
                            std::uint8_t productType,
                            std::uint16_t suiteMask);

class clsOS {
  public:
    explicit clsOS(OsVersionSource& source);

    std::string OS_Name;
    std::string OS_Version;
    std::string OS_Build;
    std::string OS_Additional;
    std::string OS_ServicePack;
    std::string OS_Suite;
    std::string OS_ProductType;
};

}  // namespace nimbral
