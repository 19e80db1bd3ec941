#include "system/WindowTexts.h"

#include <cmath>
#include <cstdlib>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && EqualsIgnoreCase(text.substr(0, start.size()), start);
}

}  // namespace

std::string MainWindowCaption(const Identity& identity) {
    return identity.productName + " by " + identity.companyName;
}

std::string AboutCaption(const Identity& identity) {
    return "About " + identity.productName;
}

std::string VisitCaption(const Identity& identity, const std::string& weburlname) {
    const std::string& name = identity.companyName == kResellerCompany ? std::string(kResellerName) : weburlname;
    return "Visit " + (name.empty() ? identity.websiteName : name);
}

double NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    // The longest leading part that reads as a number; strtod would also take hexadecimal, "inf" and
    // "nan", which are not numbers here.
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    const std::string number(text.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

bool CleanNowEnabled(std::string_view run) {
    return NumericValue(run) != 0;
}

std::string PluginNotice(const std::string& productName) {
    return productName +
           " supports all free window washer plugins.  To install plugins, download them and run their install "
           "programs.  You may place them in the default window washer folder 'c:\\program files\\washer' or the "
           "plugins folder in your " +
           productName + " directory.";
}

std::string PluginDownloadPage(const Identity& identity) {
    std::string site = WithHttpScheme(identity.websiteName);
    if (site.back() != '/')
        site += '/';
    return site + "plugins/";
}

std::string WebAddressForShell(std::string_view typed) {
    const std::string_view address = Trim(typed);
    if (address.empty())
        return {};
    return WithHttpScheme(std::string(address));
}

std::string LinkForRequest(std::string_view request, const Identity& identity) {
    if (request == kWebsiteRequest)
        return identity.websiteName;
    return {};
}

std::string WithHttpScheme(const std::string& link) {
    if (StartsWithIgnoreCase(link, "http://") || StartsWithIgnoreCase(link, "https://"))
        return link;
    return "http://" + link;
}

}  // namespace nimbral
