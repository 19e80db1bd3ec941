#pragma once

// Fetching the current community rule file: downloaded whole into memory, checked, and only then put
// in the place of the old file in one step, so that a failure of any kind leaves the old file as it
// was.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/WebDownload.h"

namespace nimbral {

// The rule project's base flavour: the others are trimmed for other cleaners, and its Winapp3 file
// sweeps whole drives.
inline constexpr char kDefaultRulesUrl[] =
    "https://raw.githubusercontent.com/MoscaDotTo/Winapp2/master/Non-CCleaner/Winapp2.ini";
inline constexpr char kRulesUrlSetting[] = "rulesurl";

// Why a downloaded file is not taken; none when it may replace the old one. version is set to the
// file's version when the first line gives one.
std::optional<std::string> CheckRuleDownload(std::string_view bytes, std::string& version);

struct RuleUpdateOutcome {
    bool updated = false;
    std::string version;
    // What the user is told: the version the program got, or why not.
    std::string message;
};

RuleUpdateOutcome UpdateCommunityRules(WebDownload& web,
                                       FileReplacer& replacer,
                                       const std::string& url,
                                       const std::string& path,
                                       const WebDownload::Progress& progress);

}  // namespace nimbral
