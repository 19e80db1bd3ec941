#pragma once

// The identity values every window shows, read from the program's version information.

#include <string>

namespace nimbral {

struct Identity {
    std::string productName;  // also the settings store's application name
    std::string companyName;
    std::string websiteName;  // a host name, kept in the Comments field
    unsigned versionMajor = 0;
    unsigned versionMinor = 0;

    // Major and minor only, as the about window shows it: "2.2".
    std::string Version() const;
};

}  // namespace nimbral
