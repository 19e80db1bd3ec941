#pragma once

// The file-existence rule and the listers over every FileSystem: the in-memory double natively, the
// real file system under Wine. Harness requirements:
//   FileSystem& Get();
//   std::string Root();                                   // an empty folder of the test's own, no trailing backslash
//   void AddFolder(const std::string& relative, std::uint32_t attributes);  // relative to Root()
//   void AddFile(const std::string& relative, std::uint32_t attributes);
//   std::string DriveRoot();                              // "C:\"
//   std::string OtherSpelling(const std::string& relative);  // another path to the same entry

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "system/Listers.h"
#include "system/xfileExists.h"

namespace nimbral::contract {

namespace fa = FileAttribute;

template <typename Harness>
class FileSystemContract : public ::testing::Test {
  protected:
    Harness harness;
    FileSystem& fs() { return harness.Get(); }
    std::string At(const std::string& relative) { return harness.Root() + "\\" + relative; }

    static std::vector<std::string> Entries(const Lister& lister) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < lister.Count(); ++i)
            out.push_back(lister.Entry(i));
        return out;
    }
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, FileFoundSeesOrdinaryFilesOnly) {
    this->harness.AddFile("Plain.txt", fa::kArchive);
    this->harness.AddFile("ReadOnly.txt", fa::kReadOnly);
    this->harness.AddFile("Hidden.txt", fa::kHidden);
    this->harness.AddFile("System.txt", fa::kSystem);
    this->harness.AddFolder("Folder", fa::kDirectory);
    this->harness.AddFolder("HiddenFolder", fa::kDirectory | fa::kHidden);

    const struct {
        std::string path;
        bool found;
    } cases[] = {
        {this->At("Plain.txt"), true},
        {this->At("pLAIN.TXT"), true},
        {this->At("ReadOnly.txt"), true},
        {this->At("Hidden.txt"), false},
        {this->At("System.txt"), false},
        {this->At("Folder"), false},
        {this->At("HiddenFolder"), false},
        {this->At("Missing.txt"), false},
        {this->At("NoFolder\\Plain.txt"), false},
        {"", false},
        // A pattern counts only when the first match is spelt like it.
        {this->At("Plain.*"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileFound(this->fs(), c.path), c.found);
    }
}

TYPED_TEST_P(FileSystemContract, FileListerListsMatchingOrdinaryFilesSortedIgnoringCase) {
    this->harness.AddFile("c.WW1", fa::kArchive);
    this->harness.AddFile("b.txt", fa::kArchive);
    this->harness.AddFile("a.ww1", fa::kArchive);
    this->harness.AddFile("B.ww1", fa::kReadOnly);
    this->harness.AddFile("hidden.ww1", fa::kHidden);
    this->harness.AddFile("system.ww1", fa::kSystem);
    this->harness.AddFolder("folder.ww1", fa::kDirectory);

    FileLister plugins(this->fs(), "*.ww1");
    ASSERT_TRUE(plugins.SetPath(this->harness.Root()));
    EXPECT_THAT(this->Entries(plugins), ::testing::ElementsAre("a.ww1", "B.ww1", "c.WW1"));

    FileLister all(this->fs());
    ASSERT_TRUE(all.SetPath(this->harness.Root()));
    EXPECT_THAT(this->Entries(all), ::testing::ElementsAre("a.ww1", "b.txt", "B.ww1", "c.WW1"));

    all.SetListIndex(1);
    EXPECT_EQ(all.FileName(), "b.txt");
    all.SetListIndex(4);
    EXPECT_EQ(all.FileName(), "");
}

TYPED_TEST_P(FileSystemContract, FolderListerListsSubfoldersAsFullPaths) {
    this->harness.AddFolder("zeta", fa::kDirectory);
    this->harness.AddFolder("Alpha", fa::kDirectory);
    this->harness.AddFolder("Alpha\\inner", fa::kDirectory);
    this->harness.AddFile("file.txt", fa::kArchive);

    FolderLister folders(this->fs());
    ASSERT_TRUE(folders.SetPath(this->harness.Root()));
    EXPECT_THAT(this->Entries(folders), ::testing::ElementsAre(this->At("Alpha"), this->At("zeta")));
}

TYPED_TEST_P(FileSystemContract, DriveRootsNameEachDriveOnceInOrder) {
    const auto roots = this->fs().DriveRoots();
    EXPECT_THAT(roots, ::testing::Contains(this->harness.DriveRoot()));
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    for (const std::string& root : roots) {
        EXPECT_EQ(root.size(), 3u) << root;
        EXPECT_EQ(root.substr(1), ":\\") << root;
    }
}

TYPED_TEST_P(FileSystemContract, EmptyFolderListsNothing) {
    this->harness.AddFolder("empty", fa::kDirectory);
    FolderLister folders(this->fs());
    FileLister files(this->fs());
    ASSERT_TRUE(folders.SetPath(this->At("empty")));
    ASSERT_TRUE(files.SetPath(this->At("empty")));
    EXPECT_EQ(folders.Count(), 0u);
    EXPECT_EQ(files.Count(), 0u);
}

TYPED_TEST_P(FileSystemContract, PathsReadBackWithoutTrailingBackslashExceptAtADriveRoot) {
    this->harness.AddFolder("sub", fa::kDirectory);
    FileLister files(this->fs());
    ASSERT_TRUE(files.SetPath(this->At("sub") + "\\"));
    EXPECT_EQ(files.Path(), this->At("sub"));

    FolderLister folders(this->fs());
    ASSERT_TRUE(folders.SetPath(this->harness.DriveRoot()));
    EXPECT_EQ(folders.Path(), this->harness.DriveRoot());
    // Joining the path read back with an entry names that entry.
    for (std::size_t i = 0; i < folders.Count(); ++i) {
        EXPECT_TRUE(this->fs().FolderExists(folders.Entry(i))) << folders.Entry(i);
    }
}

TYPED_TEST_P(FileSystemContract, AFailedSetPathKeepsThePreviousListing) {
    this->harness.AddFile("kept.txt", fa::kArchive);
    this->harness.AddFile("notAFolder.txt", fa::kArchive);
    FileLister files(this->fs());
    ASSERT_TRUE(files.SetPath(this->harness.Root()));
    for (const std::string& bad : {this->At("missing"), this->At("notAFolder.txt"), std::string()}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(files.SetPath(bad));
        EXPECT_EQ(files.Path(), this->harness.Root());
        EXPECT_THAT(this->Entries(files), ::testing::ElementsAre("kept.txt", "notAFolder.txt"));
    }
}

TYPED_TEST_P(FileSystemContract, PointingDirEngineAtAFolderPointsFileEngineThere) {
    this->harness.AddFolder("temp", fa::kDirectory);
    this->harness.AddFolder("temp\\sub", fa::kDirectory);
    this->harness.AddFile("temp\\one.tmp", fa::kArchive);
    MainWindowListers listers(this->fs());
    ASSERT_TRUE(listers.DirEngine.SetPath(this->At("temp")));
    EXPECT_EQ(listers.FileEngine.Path(), this->At("temp"));
    EXPECT_THAT(this->Entries(listers.FileEngine), ::testing::ElementsAre("one.tmp"));
    EXPECT_THAT(this->Entries(listers.DirEngine), ::testing::ElementsAre(this->At("temp\\sub")));

    // A failed change of DirEngine moves neither.
    EXPECT_FALSE(listers.DirEngine.SetPath(this->At("gone")));
    EXPECT_EQ(listers.FileEngine.Path(), this->At("temp"));
    EXPECT_EQ(listers.File1.Pattern(), "*.ww1");
}

TYPED_TEST_P(FileSystemContract, RemoveFolderTakesEverythingUnlessSomethingResists) {
    this->harness.AddFolder("tree", fa::kDirectory);
    this->harness.AddFolder("tree\\a", fa::kDirectory);
    this->harness.AddFile("tree\\a\\x.txt", fa::kArchive);
    this->harness.AddFile("tree\\hidden.txt", fa::kHidden);
    this->harness.AddFile("tree\\y.txt", fa::kArchive);
    int entries = 0;
    EXPECT_TRUE(this->fs().RemoveFolder(this->At("tree"), [&entries] { ++entries; }));
    EXPECT_GE(entries, 4) << "a window may handle its messages after every entry";
    EXPECT_FALSE(this->fs().FolderExists(this->At("tree")));

    // Not forced: a read-only file stays, and so does its folder.
    this->harness.AddFolder("ro", fa::kDirectory);
    this->harness.AddFile("ro\\locked.txt", fa::kReadOnly);
    EXPECT_FALSE(this->fs().RemoveFolder(this->At("ro"), {}));
    EXPECT_TRUE(FileFound(this->fs(), this->At("ro\\locked.txt")));

    this->harness.AddFile("file.txt", fa::kArchive);
    EXPECT_FALSE(this->fs().RemoveFolder(this->At("file.txt"), {}));
    EXPECT_TRUE(FileFound(this->fs(), this->At("file.txt")));
    EXPECT_FALSE(this->fs().RemoveFolder(this->At("missing"), {}));
}

TYPED_TEST_P(FileSystemContract, FilesGoOneByOneOrByPattern) {
    this->harness.AddFile("a.lnk", fa::kArchive);
    this->harness.AddFile("b.LNK", fa::kArchive);
    this->harness.AddFile("c.txt", fa::kArchive);
    this->harness.AddFolder("d.lnk", fa::kDirectory);
    EXPECT_TRUE(this->fs().DeleteFilesMatching(this->At("*.lnk")));
    EXPECT_FALSE(FileFound(this->fs(), this->At("a.lnk")));
    EXPECT_FALSE(FileFound(this->fs(), this->At("b.LNK")));
    EXPECT_TRUE(FileFound(this->fs(), this->At("c.txt")));
    EXPECT_TRUE(this->fs().FolderExists(this->At("d.lnk")));
    // Nothing left to match, or no such folder: a failure, and nothing else is touched.
    EXPECT_FALSE(this->fs().DeleteFilesMatching(this->At("*.lnk")));
    EXPECT_FALSE(this->fs().DeleteFilesMatching(this->At("nofolder\\*.*")));
    EXPECT_TRUE(FileFound(this->fs(), this->At("c.txt")));

    this->harness.AddFile("ro.txt", fa::kReadOnly);
    EXPECT_FALSE(this->fs().RemoveFile(this->At("ro.txt")));
    EXPECT_TRUE(this->fs().SetAttributesNormal(this->At("ro.txt")));
    EXPECT_TRUE(this->fs().RemoveFile(this->At("ro.txt")));
    EXPECT_FALSE(this->fs().RemoveFile(this->At("ro.txt")));

    EXPECT_TRUE(this->fs().CreateFolder(this->At("new")));
    EXPECT_TRUE(this->fs().FolderExists(this->At("new")));
    EXPECT_FALSE(this->fs().CreateFolder(this->At("new")));
    EXPECT_FALSE(this->fs().CreateFolder(this->At("no\\parent")));
}

// Deleting and changing act only on a path that is where the entry finally lies; FinalPath gives that
// path for any spelling, so a caller resolves a folder once and names its entries below it.
TYPED_TEST_P(FileSystemContract, EntriesAreChangedOnlyWhereTheyFinallyLie) {
    this->harness.AddFolder("Sub", fa::kDirectory);
    this->harness.AddFolder("Sub\\Tree", fa::kDirectory);
    this->harness.AddFile("Sub\\a.txt", fa::kReadOnly);
    this->harness.AddFile("Sub\\Tree\\b.txt", fa::kArchive);
    const std::string alias = this->harness.OtherSpelling("Sub");
    const auto finalPath = this->fs().FinalPath(this->At("Sub"));
    ASSERT_TRUE(finalPath);
    EXPECT_EQ(this->fs().FinalPath(alias), finalPath);
    EXPECT_EQ(this->fs().FinalPath(this->At("sUB")), finalPath) << "letter case as stored";
    EXPECT_FALSE(this->fs().FinalPath(this->At("Missing")));

    EXPECT_FALSE(this->fs().SetAttributesNormal(alias + "\\a.txt"));
    EXPECT_FALSE(this->fs().RemoveFolder(alias + "\\Tree", {}));
    EXPECT_TRUE(FileFound(this->fs(), this->At("Sub\\Tree\\b.txt")));
    EXPECT_TRUE(this->fs().SetAttributesNormal(*finalPath + "\\a.txt"));
    EXPECT_FALSE(this->fs().RemoveFile(alias + "\\a.txt"));
    EXPECT_TRUE(FileFound(this->fs(), this->At("Sub\\a.txt")));
    EXPECT_TRUE(this->fs().RemoveFile(*finalPath + "\\a.txt"));
    EXPECT_TRUE(this->fs().RemoveFolder(*finalPath + "\\Tree", {}));
    EXPECT_FALSE(this->fs().FolderExists(this->At("Sub\\Tree")));
    // A pattern's folder may be spelt any way: the deletion resolves it.
    this->harness.AddFile("Sub\\c.lnk", fa::kArchive);
    EXPECT_TRUE(this->fs().DeleteFilesMatching(alias + "\\*.lnk"));
    EXPECT_FALSE(FileFound(this->fs(), this->At("Sub\\c.lnk")));
}

// A preview asks what a change would do; the change must then do exactly that, no more, no less.
TYPED_TEST_P(FileSystemContract, WhatCouldBeRemovedIsWhatTheRemovalThenRemoves) {
    this->harness.AddFolder("Keep", fa::kDirectory);
    this->harness.AddFile("Keep\\ro.txt", fa::kReadOnly);
    this->harness.AddFile("Keep\\plain.txt", fa::kArchive);
    const auto keep = this->fs().FinalPath(this->At("Keep"));
    ASSERT_TRUE(keep);
    const std::string readOnly = *keep + "\\ro.txt";
    const std::string plain = *keep + "\\plain.txt";
    EXPECT_FALSE(this->fs().CouldRemoveFile(readOnly, false));
    EXPECT_TRUE(this->fs().CouldRemoveFile(readOnly, true)) << "once made normal it would go";
    EXPECT_FALSE(this->fs().CouldRemoveFile(this->harness.OtherSpelling("Keep\\plain.txt"), false));
    EXPECT_FALSE(this->fs().CouldRemoveFile(*keep + "\\missing.txt", false));
    EXPECT_TRUE(this->fs().CouldSetAttributesNormal(readOnly));
    EXPECT_TRUE(FileFound(this->fs(), readOnly)) << "asking changes nothing";
    EXPECT_TRUE(this->fs().CouldRemoveFile(plain, false));
    EXPECT_TRUE(this->fs().RemoveFile(plain));
    EXPECT_FALSE(this->fs().RemoveFile(readOnly));

    // A tree that a read-only file stops: what would go before it is what goes.
    this->harness.AddFolder("Tree", fa::kDirectory);
    this->harness.AddFolder("Tree\\Sub", fa::kDirectory);
    this->harness.AddFile("Tree\\Sub\\a.txt", fa::kArchive);
    this->harness.AddFile("Tree\\b.txt", fa::kArchive);
    this->harness.AddFile("Tree\\c.txt", fa::kReadOnly);
    const auto tree = this->fs().FinalPath(this->At("Tree"));
    ASSERT_TRUE(tree);
    const std::vector<std::string> entries = {*tree + "\\Sub\\a.txt", *tree + "\\Sub", *tree + "\\b.txt",
                                              *tree + "\\c.txt"};
    std::vector<std::string> wouldGo;
    EXPECT_FALSE(this->fs().CouldRemoveFolder(*tree, wouldGo));
    for (const std::string& entry : entries)
        EXPECT_TRUE(this->fs().FinalPath(entry)) << entry << " still there after asking";
    EXPECT_FALSE(this->fs().RemoveFolder(*tree, {}));
    std::vector<std::string> went;
    for (const std::string& entry : entries) {
        if (!this->fs().FinalPath(entry))
            went.push_back(entry);
    }
    EXPECT_THAT(went, ::testing::UnorderedElementsAreArray(wouldGo));
    EXPECT_THAT(wouldGo, ::testing::Not(::testing::Contains(*tree + "\\c.txt")));

    // Without the read-only file, everything would go, the folder last, and everything goes.
    EXPECT_TRUE(this->fs().SetAttributesNormal(*tree + "\\c.txt"));
    wouldGo.clear();
    EXPECT_TRUE(this->fs().CouldRemoveFolder(*tree, wouldGo));
    EXPECT_EQ(wouldGo.back(), *tree);
    EXPECT_TRUE(this->fs().RemoveFolder(*tree, {}));
    EXPECT_FALSE(this->fs().FolderExists(*tree));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract,
                            WhatCouldBeRemovedIsWhatTheRemovalThenRemoves,
                            EntriesAreChangedOnlyWhereTheyFinallyLie,
                            RemoveFolderTakesEverythingUnlessSomethingResists,
                            FilesGoOneByOneOrByPattern,
                            FileFoundSeesOrdinaryFilesOnly,
                            FileListerListsMatchingOrdinaryFilesSortedIgnoringCase,
                            FolderListerListsSubfoldersAsFullPaths,
                            EmptyFolderListsNothing,
                            DriveRootsNameEachDriveOnceInOrder,
                            PathsReadBackWithoutTrailingBackslashExceptAtADriveRoot,
                            AFailedSetPathKeepsThePreviousListing,
                            PointingDirEngineAtAFolderPointsFileEngineThere);

}  // namespace nimbral::contract
