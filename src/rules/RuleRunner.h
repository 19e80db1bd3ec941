#pragma once

// Running one entry during a clean: its FileKeys, then its RegKeys, each through the same checked
// deletions, protected places and preview seams as the plugin lists, each outcome one line of the
// results log.

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/ResultsSurface.h"
#include "rules/RuleFile.h"
#include "rules/RuleJudge.h"
#include "rules/RuleVariables.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

struct RuleRunServices {
    FileSystem& fileSystem;
    Registry& registry;
    VariableResolver& variables;
};

// Writes "Deleted File: ", "Deleted Directory: ", "Deleted Registry Key: ", "Deleted Registry Value: ",
// "Refused to delete <path>: <reason>" and "Skipped <key>: <reason>"; a file or key that cannot be
// deleted writes nothing. Links are never entered, and what a link leads to is never touched.
void RunRuleEntry(const RuleEntry& entry,
                  RuleRunServices services,
                  ResultsSurface& results,
                  const ProtectedPlaces& places);

}  // namespace nimbral
