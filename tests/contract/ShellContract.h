#pragma once

// What every Shell must do, held against the in-memory double natively and against the Win32 adapter
// under Wine, so the engine's tests see the shell the program runs against. Harness requirements:
//   Shell& Get();
//   FileSystem& Files();                                // the file system the shell's folders live in
//   std::string MakeDocument(const std::string& name);  // a new file of the test's own, its full path

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace nimbral::contract {

template <typename Harness>
class ShellContract : public ::testing::Test {
  protected:
    Harness harness;
    Shell& shell() { return harness.Get(); }
    std::size_t Shortcuts(const std::string& folder) {
        const auto found = harness.Files().FindEntries(folder + "*.lnk");
        return found ? found->size() : 0;
    }
};

TYPED_TEST_SUITE_P(ShellContract);

TYPED_TEST_P(ShellContract, SpecialFoldersEndInExactlyOneBackslash) {
    for (int folder : {SpecialFolder::kRecent, SpecialFolder::kProfile}) {
        SCOPED_TRACE(folder);
        const std::string path = this->shell().SpecialFolderPath(0, folder);
        ASSERT_GE(path.size(), 4u);
        EXPECT_EQ(path.back(), '\\');
        EXPECT_NE(path[path.size() - 2], '\\');
        EXPECT_TRUE(this->harness.Files().FolderExists(path)) << path;
    }
    EXPECT_EQ(this->shell().SpecialFolderPath(0, 0x7777), "");
}

// The documents menu is the Recent folder's shortcuts: once cleared, none is left, whatever the
// system's own call leaves behind.
TYPED_TEST_P(ShellContract, ClearingTheRecentDocumentsLeavesNoShortcut) {
    const std::string recent = this->shell().SpecialFolderPath(0, SpecialFolder::kRecent);
    ASSERT_FALSE(recent.empty());
    this->shell().AddRecentDocument(this->harness.MakeDocument("contract one.txt"));
    this->shell().AddRecentDocument(this->harness.MakeDocument("contract two.txt"));
    EXPECT_GE(this->Shortcuts(recent), 2u);
    this->shell().ClearRecentDocuments();
    EXPECT_EQ(this->Shortcuts(recent), 0u);
}

TYPED_TEST_P(ShellContract, OwnFoldersNameTheWindowsAndProfileFoldersThatAreThere) {
    bool windows = false;
    bool profile = false;
    for (const SystemFolderPath& folder : this->shell().OwnFolders()) {
        if (folder.kind != SystemFolder::kWindows && folder.kind != SystemFolder::kProfile)
            continue;
        SCOPED_TRACE(folder.path);
        EXPECT_TRUE(this->harness.Files().FolderExists(folder.path));
        windows = windows || folder.kind == SystemFolder::kWindows;
        profile = profile || folder.kind == SystemFolder::kProfile;
    }
    EXPECT_TRUE(windows);
    EXPECT_TRUE(profile);
}

REGISTER_TYPED_TEST_SUITE_P(ShellContract,
                            SpecialFoldersEndInExactlyOneBackslash,
                            ClearingTheRecentDocumentsLeavesNoShortcut,
                            OwnFoldersNameTheWindowsAndProfileFoldersThatAreThere);

}  // namespace nimbral::contract
