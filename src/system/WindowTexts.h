#pragma once

// The texts the windows show and the small rules behind them, apart from the windows so they can be
// tested without a display.

#include <string>
#include <string_view>

#include "system/modRebrand.h"

namespace nimbral {

inline constexpr char kWrongPassword[] = "That password was not correct.  Please try again.";
inline constexpr char kCopyFailed[] = "Error copying File";
inline constexpr char kCopyFailedTitle[] = "corvelbrowser :: error";

// A reseller's name replaces what the Visit button would show, whatever the registry holds.
inline constexpr char kRebrandKey[] = "Software\\Ardent Lume\\";
inline constexpr char kRebrandValue[] = "weburlname";
inline constexpr char kResellerCompany[] = "Orrin Vale Enterprise";
inline constexpr char kResellerName[] = "Orrin Vale Software";

// What the website launcher is asked to open: the program's website.
inline constexpr char kWebsiteRequest[] = "Website";

// The plugin download window's second status panel: a page the browser starts and finishes fetching,
// or one handed to the system's web browser where no browser can be shown in the window.
inline constexpr char kOpeningPrefix[] = "Opening ";
inline constexpr char kCompletedPrefix[] = "Completed ";
inline constexpr char kOpenedElsewherePrefix[] = "Opened in your web browser: ";

// The product name, " by ", the company name.
std::string MainWindowCaption(const Identity& identity);
std::string AboutCaption(const Identity& identity);
// "Visit " and the registry's name for the site (the reseller's name for the reseller), or the
// website name when there is none.
std::string VisitCaption(const Identity& identity, const std::string& weburlname);

// The number a text starts with, as the setting "run" is read: leading blanks, a sign, digits, a
// decimal point and an exponent; a text that starts with no number is 0.
double NumericValue(std::string_view text);
// " Clean  Now" is available once the wizard has been finished: "run" is a non-zero number.
bool CleanNowEnabled(std::string_view run);

// The notice shown before the plugin download page.
std::string PluginNotice(const std::string& productName);

// The page on the program's website that lists the plugins to download.
std::string PluginDownloadPage(const Identity& identity);
// What the plugin window hands to the system's web browser for an address typed into its box: a web
// address always, since the shell would run a program or open a file named by anything else.
// Without the HTTP or HTTPS scheme the address gets "http://" in front; blank text gives nothing.
std::string WebAddressForShell(std::string_view typed);

// The link a request text of the launcher opens; empty for a request it does not know.
std::string LinkForRequest(std::string_view request, const Identity& identity);
// The link as given when it starts with "http://" or "https://" in any letter case; otherwise with
// "http://" in front.
std::string WithHttpScheme(const std::string& link);

}  // namespace nimbral
