#pragma once

// Everything the program refuses of a community rule file, in one place: what the refusal is about
// (the whole file, one entry, one key, or one place a key reaches) and the words that tell the user
// why, in the rules report and in the results log.

#include <string_view>

namespace nimbral {

enum class RuleRefusal {
    // The file as a whole: nothing of it is read.
    kWinapp3,
    kNotUtf8File,
    kFileTooLarge,
    kFileUnreadable,

    // One entry as a whole: it is not listed.
    kDuplicateEntry,
    kDuplicateKey,
    kUnknownKey,
    kNotAKey,
    kLineTooLong,
    kBadEntryName,
    kNameAlreadyListed,
    kBrowserData,
    kExclusionNotHonoured,
    kUnreadableDetectOs,

    // One key: the rest of its entry still runs.
    kNoPipe,
    kTwoFlags,
    kUnknownFlag,
    kNoPattern,
    kBadPattern,
    kTooManyWildcards,
    kUnknownVariable,
    kMisplacedVariable,
    kFolderUnknown,
    kNotFullPath,
    kDotSegment,
    kNetworkPath,
    kControlCharacter,
    kNotUtf8,
    kUnknownHive,
    kWholeHive,
    kNoValueName,
    kExcludedValue,
    kUnknownExclusion,

    // One place a key reaches: it stays, the key goes on with the next.
    kDriveRootSweep,
    kRemoveSelfUserFolder,
    kSystemFolderSweep,
    kHotJournal,
    kLink,
    kSystemKey,
};

// The words after "Refused to delete <path>: " or "Skipped <key>: " and in the rules report.
std::string_view RefusalReason(RuleRefusal refusal);

}  // namespace nimbral
