#pragma once

// The community rule file in the program's "plugins" folder, as lines of the plugin list: each entry
// whose application is on this machine, after the plugin files, unticked until the user ticks it.
// The file is read when the list is built, and its entries run as they were read then.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/OsVersionSource.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "plugins/PluginList.h"
#include "rules/RuleFile.h"

namespace nimbral {

inline constexpr char kRuleFileName[] = "winapp2.ini";

struct RuleServices {
    FileSystem& fileSystem;
    Registry& registry;
    KnownFolders& folders;
    OsVersionSource& osVersion;
    Shell& shell;  // the protected places, for the report
};

// The whole file read into memory, or why not.
struct RuleFileBytes {
    std::string bytes;
    std::optional<RuleRefusal> refusal;
};
RuleFileBytes ReadRuleFileBytes(FileSystem& fileSystem, const std::string& path);

class CommunityRules final : public PluginSource {
  public:
    CommunityRules(RuleServices services, std::string programFolder);

    void AddEntries(PluginList& lstPlugs, const SettingsStore& settings) override;
    void RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) override;

    // Where the file is, or would be: "<program>\plugins\winapp2.ini" in the letter case found.
    const std::string& FilePath() const { return path_; }
    // The file as the last AddEntries read it: its version, how many entries it holds and how many are
    // listed on this machine, then every entry and key refused, with the reason.
    std::vector<std::string> Report();

  private:
    RuleServices services_;
    std::string programFolder_;
    std::string path_;
    bool found_ = false;
    RuleFile file_;
    std::vector<RuleNote> notListed_;                      // refused on this machine
    std::unordered_map<std::string, std::size_t> listed_;  // folded name: index into file_.entries
};

}  // namespace nimbral
