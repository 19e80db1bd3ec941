#include "rules/RuleRefusals.h"

#include <utility>

namespace nimbral {

namespace {

constexpr std::pair<RuleRefusal, std::string_view> kReasons[] = {
    {RuleRefusal::kWinapp3, "it is the Winapp3 flavour, whose rules sweep whole drives"},
    {RuleRefusal::kNotUtf8File, "it is not UTF-8 text"},
    {RuleRefusal::kFileTooLarge, "it is larger than 16 MB"},
    {RuleRefusal::kFileUnreadable, "it cannot be read"},

    {RuleRefusal::kDuplicateEntry, "an entry of the same name comes before it"},
    {RuleRefusal::kDuplicateKey, "it gives a key twice"},
    {RuleRefusal::kUnknownKey, "it has a key that is not known"},
    {RuleRefusal::kNotAKey, "it has a line that is not a key"},
    {RuleRefusal::kLineTooLong, "it has a line too long to be a rule"},
    {RuleRefusal::kBadEntryName, "its name is empty, too long or not text"},
    {RuleRefusal::kNameAlreadyListed, "the plugin list already has an entry of that name"},
    {RuleRefusal::kBrowserData,
     "it would delete a browser's cookies or history, which the browser entries clean with the keep-lists"},
    {RuleRefusal::kExclusionNotHonoured, "one of its exclusions cannot be honoured"},
    {RuleRefusal::kUnreadableDetectOs, "its Windows versions cannot be read"},

    {RuleRefusal::kNoPipe, "it has no pipe, so it would mean every file of the folder"},
    {RuleRefusal::kTwoFlags, "it has two flags"},
    {RuleRefusal::kUnknownFlag, "it has a flag that is not known"},
    {RuleRefusal::kNoPattern, "it names no file pattern"},
    {RuleRefusal::kBadPattern, "a pattern holds a folder, a stream or nothing but dots"},
    {RuleRefusal::kTooManyWildcards, "it has more than 10 wildcards"},
    {RuleRefusal::kUnknownVariable, "it uses a variable that is not known"},
    {RuleRefusal::kMisplacedVariable, "a folder variable stands elsewhere than at its start"},
    {RuleRefusal::kFolderUnknown, "the system has no such folder"},
    {RuleRefusal::kNotFullPath, "it is not a full path"},
    {RuleRefusal::kDotSegment, "it has a . or .. part"},
    {RuleRefusal::kNetworkPath, "it names a network share"},
    {RuleRefusal::kControlCharacter, "it holds a control character"},
    {RuleRefusal::kNotUtf8, "it is not UTF-8 text"},
    {RuleRefusal::kUnknownHive, "it names no registry hive"},
    {RuleRefusal::kWholeHive, "it names a whole hive"},
    {RuleRefusal::kNoValueName, "it names no value"},
    {RuleRefusal::kExcludedValue, "an exclusion of its entry keeps it"},
    {RuleRefusal::kUnknownExclusion, "it excludes something other than FILE, PATH or REG"},

    {RuleRefusal::kDriveRootSweep, "it is the root of a drive"},
    {RuleRefusal::kRemoveSelfUserFolder, "it is or holds your profile, Desktop, Documents or Downloads folder"},
    {RuleRefusal::kSystemFolderSweep, "it is or holds a folder the system keeps for you or for programs"},
    {RuleRefusal::kHotJournal, "its database stands beside it, and deleting a live journal corrupts the database"},
    {RuleRefusal::kLink, "it is a link to another folder"},
    {RuleRefusal::kSystemKey, "it is a key the system is built on"},
};

}  // namespace

std::string_view RefusalReason(RuleRefusal refusal) {
    for (const auto& [which, reason] : kReasons) {
        if (which == refusal)
            return reason;
    }
    return "it is refused";
}

}  // namespace nimbral
