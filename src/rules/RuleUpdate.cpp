#include "rules/RuleUpdate.h"

#include "rules/RuleFile.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr std::string_view kVersionPrefix = "; Version: ";

std::string_view FirstLine(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

std::string WhyNotDownloaded(const Download& download) {
    switch (download.outcome) {
        case Download::Outcome::kDone:
            break;
        case Download::Outcome::kHttpError:
            return "the server answered " + DecimalText(download.status);
        case Download::Outcome::kTooLarge:
            return "the file is larger than 16 MB";
        case Download::Outcome::kCutShort:
            return "the download was cut short";
        case Download::Outcome::kStalled:
            return "the server stopped sending";
        case Download::Outcome::kCancelled:
            return "the download was cancelled";
        case Download::Outcome::kFailed:
            return "the server could not be reached";
    }
    return {};
}

}  // namespace

std::optional<std::string> CheckRuleDownload(std::string_view bytes, std::string& version) {
    if (bytes.size() > kMaxRuleFileBytes)
        return "the file is larger than 16 MB";
    const std::string_view first = FirstLine(bytes);
    if (IsWinapp3Header(first))
        return "it is the Winapp3 flavour, whose rules sweep whole drives";
    const std::string_view number = first.substr(std::min(first.size(), kVersionPrefix.size()));
    if (first.substr(0, kVersionPrefix.size()) != kVersionPrefix || number.empty() ||
        number.find_first_not_of("0123456789") != std::string_view::npos) {
        return "its first line is not \"; Version: \" and a number";
    }
    version = std::string(number);
    const RuleFile file = ParseRuleFile(bytes);
    if (file.refusal)
        return std::string(RefusalReason(*file.refusal));
    if (file.entryCount == 0)
        return "it holds no entries";
    // A file cut short on its way holds fewer entries than its header counts.
    if (file.statedEntries && file.entryCount < *file.statedEntries) {
        return "it holds " + DecimalText(std::uint64_t{file.entryCount}) + " entries where it says " +
               DecimalText(std::uint64_t{*file.statedEntries});
    }
    return std::nullopt;
}

RuleUpdateOutcome UpdateCommunityRules(WebDownload& web,
                                       FileReplacer& replacer,
                                       const std::string& url,
                                       const std::string& path,
                                       const WebDownload::Progress& progress) {
    RuleUpdateOutcome outcome;
    const auto notUpdated = [&outcome](const std::string& why) {
        outcome.message = "The community rules were not updated: " + why + ". The old file is kept.";
        return outcome;
    };
    const Download download = web.Fetch(url, kMaxRuleFileBytes, progress);
    if (download.outcome != Download::Outcome::kDone)
        return notUpdated(WhyNotDownloaded(download));
    std::string version;
    if (const auto refusal = CheckRuleDownload(download.body, version))
        return notUpdated(*refusal);
    if (!replacer.Replace(path, download.body))
        return notUpdated("it could not be written to the plugins folder");
    outcome.updated = true;
    outcome.version = version;
    outcome.message = "The community rules are now version " + version + ".";
    return outcome;
}

}  // namespace nimbral
