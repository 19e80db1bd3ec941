#pragma once

// The variables of the rule paths, resolved through what the system answers (its known folders and
// the account's name), never through an environment string, which a hostile program or user could
// point anywhere. The registry places of the rules, turned into the hives the registry seam knows.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/KnownFolders.h"
#include "platform/Registry.h"
#include "rules/RuleFile.h"

namespace nimbral {

// Whether the name between two percent signs is a folder variable a rule path may start with, or
// the account's name, which may stand anywhere in it. Letter case is ignored.
bool IsFolderVariable(std::string_view name);
bool IsUserNameVariable(std::string_view name);

// A rule path on this machine: a folder the system named (or a drive's root, for a path written in
// full), and the parts below it, each of which may hold wildcards.
struct ResolvedPath {
    std::string base;  // full; no trailing backslash but a root's
    std::vector<std::string> segments;
    bool temp = false;  // base is the temporary folder
    // base and segments joined, as the log shows the path.
    std::string Shown() const;
};

struct Resolution {
    // More than one for a variable that stands for several folders (%ProgramFiles%: both trees);
    // a folder named twice is there once.
    std::vector<ResolvedPath> paths;
    std::optional<RuleRefusal> refusal;
};

// Resolves rule paths, asking the system for each folder once.
class VariableResolver {
  public:
    explicit VariableResolver(KnownFolders& folders) : folders_(folders) {}

    Resolution Resolve(const RulePath& path);
    // The folder as the system names it, asked once; empty when there is none.
    const std::string& Folder(KnownFolder folder);

  private:
    // The folders a variable stands for, full and each once; empty when the system names none.
    const std::vector<std::string>& Bases(std::string_view variable);
    const std::string& AccountName();

    KnownFolders& folders_;
    std::map<KnownFolder, std::string> known_;
    std::map<std::string, std::vector<std::string>> bases_;  // by folded variable
    std::optional<std::string> accountName_;
};

// The hive and key path the registry seam acts on. HKCC is the current hardware profile of HKLM.
std::pair<Hive, std::string> SeamKey(const RegistryPlace& place);
// The key as the log names it: the hive as the rule wrote it, then the path.
std::string ShownKey(const RegistryPlace& place);

}  // namespace nimbral
