// Single-file and folder operations: deleting, copying over, creating one folder level.
#include <optional>

#include "ContractTest.h"
#include "Exceptions.h"

namespace orv::contract {

struct RemoveCase {
    const char* name;
    Entry made;
    bool readOnly = false;
    bool held = false;
    bool leftover = false;  // the temporary of a write that was cut off lies beside the file
    bool removed = false;
    Skip skip;
};

const RemoveCase kRemoveCases[] = {
    {.name = "DeletesFileAndTheLeftoverOfACutOffWrite", .made = Entry::File, .leftover = true, .removed = true},
    {.name = "LeftoverGoesAlsoWithoutTheFile", .made = Entry::None, .leftover = true},
    {.name = "DeletesFile", .made = Entry::File, .removed = true},
    {.name = "MissingFileIsFalse", .made = Entry::None},
    {.name = "ReadOnlyFileStays", .made = Entry::File, .readOnly = true},
    {.name = "FileHeldOpenStays", .made = Entry::File, .held = true},
    {.name = "FolderStays", .made = Entry::Folder},
};

using RemoveFileContract = ContractTest<RemoveCase>;

TEST_P(RemoveFileContract, Holds) {
    const RemoveCase& c = Param();
    const std::string path = In("A.TXT");
    if (c.made == Entry::File) Here().MakeFile(path, "content");
    if (c.made == Entry::Folder) Here().MakeFolder(path);
    if (c.readOnly) Here().SetReadOnly(path);
    if (c.held) Here().HoldOpen(path);
    if (c.leftover) Here().MakeFile(path + "~orv", "half");

    EXPECT_EQ(Subject().RemoveFile(path), c.removed);
    EXPECT_FALSE(Here().HasFile(path + "~orv"));
    if (c.made == Entry::File && !c.removed) {
        EXPECT_EQ(Here().Bytes(path), "content");
    }
    EXPECT_EQ(Here().HasFile(path), c.made == Entry::File && !c.removed);
    EXPECT_EQ(Here().HasFolder(path), c.made == Entry::Folder);
}

ORV_CONTRACT_TABLE(RemoveFileContract, kRemoveCases)

struct CopyCase {
    const char* name;
    bool source = true;
    std::optional<std::string> target;  // the target's bytes before; none: no target
    bool readOnly = false;
    bool held = false;
    bool copied = false;
    Skip skip;
};

const CopyCase kCopyCases[] = {
    {.name = "CreatesTarget", .copied = true},
    {.name = "ReplacesTarget", .target = "old bytes, longer than the new", .copied = true},
    {.name = "ReadOnlyTargetStays", .target = "old", .readOnly = true},
    {.name = "TargetHeldOpenStays", .target = "old", .held = true},
    {.name = "MissingSourceLeavesTarget", .source = false, .target = "old"},
    {.name = "MissingSourceMakesNoTarget", .source = false},
};

using CopyOverContract = ContractTest<CopyCase>;

TEST_P(CopyOverContract, Holds) {
    const CopyCase& c = Param();
    const std::string source = In("TOPDATS.BAK");
    const std::string target = In("TOPDATS.INI");
    const std::string fresh("new\0bytes", 9);
    if (c.source) Here().MakeFile(source, fresh);
    if (c.target) Here().MakeFile(target, *c.target);
    if (c.readOnly) Here().SetReadOnly(target);
    if (c.held) Here().HoldOpen(target);

    EXPECT_EQ(Subject().CopyOver(source, target), c.copied);
    if (c.copied) {
        EXPECT_EQ(Here().Bytes(target), fresh);
    } else if (c.target) {
        EXPECT_EQ(Here().Bytes(target), *c.target);
    } else {
        EXPECT_FALSE(Here().HasFile(target));
    }
    if (c.source) {
        EXPECT_EQ(Here().Bytes(source), fresh);
    }
}

ORV_CONTRACT_TABLE(CopyOverContract, kCopyCases)

struct FolderCase {
    const char* name;
    Entry made;  // what is already there under the name "OV"
    const char* asked = "OV";
    const char* error = nullptr;  // the EInOutError message; none: the folder is made
    Skip skip;
};

const FolderCase kFolderCases[] = {
    {.name = "CreatesOneLevel", .made = Entry::None},
    {.name = "OverFileIsError183", .made = Entry::File, .error = "I/O error 183"},
    {.name = "OverFolderIsError183", .made = Entry::Folder, .error = "I/O error 183"},
    {.name = "UnderMissingParentIsInvalidFilename", .made = Entry::None, .asked = "OV\\SCRIPTS",
     .error = "Invalid filename"},
    {.name = "MalformedNameIsError123", .made = Entry::None, .asked = "O?V", .error = "I/O error 123"},
};

using CreateFolderContract = ContractTest<FolderCase>;

TEST_P(CreateFolderContract, Holds) {
    const FolderCase& c = Param();
    if (c.made == Entry::File) Here().MakeFile(In("OV"), "x");
    if (c.made == Entry::Folder) Here().MakeFolder(In("OV"));
    const std::string path = In(c.asked);

    if (c.error == nullptr) {
        Subject().CreateFolder(path);
        EXPECT_TRUE(Here().HasFolder(path));
    } else {
        try {
            Subject().CreateFolder(path);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
    }
    // Nothing else appears: no parent made on the way, a file in the way left as it was.
    std::vector<std::string> expected;
    if (c.made == Entry::File) expected = {"OV"};
    if (c.made == Entry::Folder || c.error == nullptr) expected = {"OV\\"};
    EXPECT_EQ(Here().Entries(Here().Scratch()), expected);
}

ORV_CONTRACT_TABLE(CreateFolderContract, kFolderCases)

struct HoldCase {
    const char* name;
    Entry made;  // under the name "CORE"
    FolderHold hold;
    bool released = false;  // the holds are given up before the rename
    Skip skip;
};

// A folder held cannot be renamed, and so cannot be swapped for a link, until the holds are given up.
const HoldCase kHoldCases[] = {
    {.name = "HeldFolderCannotBeRenamed", .made = Entry::Folder, .hold = FolderHold::Held},
    {.name = "ReleasedFolderCanBeRenamed", .made = Entry::Folder, .hold = FolderHold::Held, .released = true},
    {.name = "FileIsNoFolder", .made = Entry::File, .hold = FolderHold::Missing},
    {.name = "NothingThere", .made = Entry::None, .hold = FolderHold::Missing},
};

using HoldFolderContract = ContractTest<HoldCase>;

TEST_P(HoldFolderContract, Holds) {
    const HoldCase& c = Param();
    if (c.made == Entry::File) Here().MakeFile(In("CORE"), "x");
    if (c.made == Entry::Folder) Here().MakeFolder(In("CORE"));
    if (c.made == Entry::Folder) Here().MakeFile(In("CORE\\user.mac"), "macro");

    EXPECT_EQ(Subject().HoldFolder(In("CORE")), c.hold);
    if (c.released) Subject().ReleaseFolders();
    if (c.made != Entry::Folder) return;
    const bool renamed = Here().RenameFolder(In("CORE"), In("ELSEWHERE"));
    EXPECT_EQ(renamed, c.released);
    EXPECT_EQ(Here().HasFile(In("CORE\\user.mac")), !c.released);
    Subject().ReleaseFolders();
}

ORV_CONTRACT_TABLE(HoldFolderContract, kHoldCases)

}  // namespace orv::contract
