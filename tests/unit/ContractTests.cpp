// The seams' contracts held against the in-memory doubles.

#include <optional>
#include <utility>

#include "contract/FileSystemContract.h"
#include "contract/RegistryContract.h"
#include "contract/SettingsAreaContract.h"
#include "contract/ShellContract.h"
#include "doubles/FakeFileSystem.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"

namespace nimbral::testing {
namespace {

struct FakeRegistryHarness {
    FakeRegistry registry;
    Registry& Get() { return registry; }
    std::string Root() { return "Software\\NimbralContract\\1"; }
    void PutDword(const std::string& keyPath, const std::string& name, std::uint32_t value) {
        std::string data(4, '\0');
        for (int i = 0; i < 4; ++i)
            data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        registry.PutRaw(Hive::CurrentUser, keyPath, name, kRegDword, data);
    }
    bool KeyExists(Hive hive, const std::string& keyPath) { return registry.KeyExists(hive, keyPath); }
    std::optional<std::pair<std::uint32_t, std::string>> Raw(Hive hive,
                                                             const std::string& keyPath,
                                                             const std::string& name) {
        const auto raw = registry.Raw(hive, keyPath, name);
        if (!raw)
            return std::nullopt;
        return std::pair(raw->type, raw->data);
    }
};

struct FakeSettingsAreaHarness {
    FakeSettingsArea area;
    SettingsArea& Get() { return area; }
    std::string Application() { return "Nimbral Contract"; }
    void PutNonString(const std::string& application, const std::string& section, const std::string& key) {
        area.PutNonString(application, section, key);
    }
    void RemoveValue(const std::string& application, const std::string& section, const std::string& key) {
        area.RemoveValue(application, section, key);
    }
    void RemoveSection(const std::string& application, const std::string& section) {
        area.RemoveSection(application, section);
    }
};

struct FakeFileSystemHarness {
    FakeFileSystemHarness() {
        fs.AddFolder("C:\\Windows");
        fs.AddFolder(Root());
    }
    FakeFileSystem fs;
    FileSystem& Get() { return fs; }
    std::string Root() { return "C:\\work\\t"; }
    std::string DriveRoot() { return "C:\\"; }
    void AddFolder(const std::string& relative, std::uint32_t attributes) {
        fs.AddFolder(Root() + "\\" + relative, attributes);
    }
    void AddFile(const std::string& relative, std::uint32_t attributes) {
        fs.AddFile(Root() + "\\" + relative, attributes);
    }
    std::string OtherSpelling(const std::string& relative) {
        fs.AddFolderLink("C:\\alias", Root());
        return "C:\\alias\\" + relative;
    }
};

struct FakeShellHarness {
    FakeShellHarness() {
        shell.folders[SpecialFolder::kRecent] = "C:\\users\\me\\Recent\\";
        shell.folders[SpecialFolder::kProfile] = "C:\\users\\me\\";
        fs.AddFolder("C:\\users\\me\\Recent");
        fs.AddFolder("C:\\windows");
    }
    FakeFileSystem fs;
    FakeShell shell{fs};
    Shell& Get() { return shell; }
    FileSystem& Files() { return fs; }
    std::string MakeDocument(const std::string& name) {
        fs.AddFile("C:\\users\\me\\Documents\\" + name);
        return "C:\\users\\me\\Documents\\" + name;
    }
};

}  // namespace
}  // namespace nimbral::testing

namespace nimbral::contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryContract, testing::FakeRegistryHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SettingsAreaContract, testing::FakeSettingsAreaHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileSystemContract, testing::FakeFileSystemHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ShellContract, testing::FakeShellHarness);
}  // namespace nimbral::contract
