// Whole-file reading and the replace-in-one-step write. Expected messages are built from the platform's own
// absolute path and system text, so they hold on every system whatever its wording.
#include <optional>

#include "ContractTest.h"
#include "Exceptions.h"

namespace orv::contract {

static std::string AllByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
    return bytes + "\r\n\n\r";
}

struct ReadCase {
    const char* name;
    Entry made;
    std::string bytes;
    bool readOnly = false;
    bool held = false;
    const char* asked = "USER.MAC";
    unsigned long code = 0;  // the error code named in the EFOpenError; 0: the read succeeds
    Skip skip;
};

const ReadCase kReadCases[] = {
    {.name = "EveryByteUnchanged", .made = Entry::File, .bytes = AllByteValues()},
    {.name = "EmptyFile", .made = Entry::File, .bytes = ""},
    {.name = "ReadOnlyFileReads", .made = Entry::File, .bytes = "MACRO\r\n", .readOnly = true},
    {.name = "MissingFile", .made = Entry::None, .code = winerr::FileNotFound},
    {.name = "MissingFolder", .made = Entry::None, .asked = "CORE\\USER.MAC", .code = winerr::PathNotFound},
    {.name = "HeldOpenForWriting", .made = Entry::File, .bytes = "MACRO\r\n", .held = true,
     .code = winerr::SharingViolation},
    {.name = "FolderIsAccessDenied", .made = Entry::Folder, .code = winerr::AccessDenied},
};

using ReadWholeFileContract = ContractTest<ReadCase>;

TEST_P(ReadWholeFileContract, Holds) {
    const ReadCase& c = Param();
    const std::string path = In(c.asked);
    if (c.made == Entry::File) Here().MakeFile(path, c.bytes);
    if (c.made == Entry::Folder) Here().MakeFolder(path);
    if (c.readOnly) Here().SetReadOnly(path);
    if (c.held) Here().HoldOpen(path);

    if (c.code == 0) {
        EXPECT_EQ(Subject().ReadWholeFile(path), c.bytes);
    } else {
        try {
            Subject().ReadWholeFile(path);
            ADD_FAILURE() << "no error";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(),
                      "Cannot open file \"" + Subject().FullPath(path) + "\". " + Subject().SystemErrorText(c.code));
        }
    }
    if (c.made == Entry::File) {
        EXPECT_EQ(Here().Bytes(path), c.bytes);
    }
}

ORV_CONTRACT_TABLE(ReadWholeFileContract, kReadCases)

enum class Outcome { Written, CreateError, WriteError };

struct WriteCase {
    const char* name;
    Entry made = Entry::None;
    std::string before;  // the existing file's bytes
    bool readOnly = false;
    bool held = false;
    std::optional<std::size_t> freeSpace;
    bool leftover = false;  // a temporary file from a write that died half-way lies beside the target
    const char* asked = "OV.MCX";
    std::string written;
    Outcome outcome = Outcome::Written;
    unsigned long code = 0;  // the error code named in the EFCreateError
    Skip skip;
};

const WriteCase kWriteCases[] = {
    {.name = "CreatesFile", .written = AllByteValues()},
    {.name = "ReplacesLongerFile", .made = Entry::File, .before = std::string(100, 'x'), .written = "short"},
    {.name = "EmptyBlockOver100BytesLeavesEmptyFile", .made = Entry::File, .before = std::string(100, 'x')},
    {.name = "ReadOnlyFileKeepsContent", .made = Entry::File, .before = "old", .readOnly = true, .written = "new",
     .outcome = Outcome::CreateError, .code = winerr::AccessDenied},
    {.name = "FileHeldOpenKeepsContent", .made = Entry::File, .before = "old", .held = true, .written = "new",
     .outcome = Outcome::CreateError, .code = winerr::SharingViolation},
    {.name = "MissingFolder", .asked = "OV\\OV.MCX", .written = "new", .outcome = Outcome::CreateError,
     .code = winerr::PathNotFound},
    {.name = "FolderInTheWay", .made = Entry::Folder, .written = "new", .outcome = Outcome::CreateError,
     .code = winerr::AccessDenied},
    {.name = "LeftoverOfDeadWriteTakenOver", .made = Entry::File, .before = "old", .leftover = true,
     .written = "new"},
};

// A table whose rows a world cannot stage is a table of its own, so that the test run reports it skipped.
const WriteCase kFullDiskCases[] = {
    {.name = "DiskFullKeepsOldContent", .made = Entry::File, .before = "old", .freeSpace = 4,
     .written = "more than four bytes", .outcome = Outcome::WriteError,
     .skip = {.onWindows = "the scratch folder's disk is the machine's own; a test does not fill it"}},
    {.name = "DiskFullTakesOverTheLeftover", .made = Entry::File, .before = "old", .freeSpace = 8, .leftover = true,
     .written = "more than eight bytes", .outcome = Outcome::WriteError,
     .skip = {.onWindows = "the scratch folder's disk is the machine's own; a test does not fill it"}},
};

template <typename Fixture>
void CheckWrite(Fixture& t, const WriteCase& c);

using WriteWholeFileContract = ContractTest<WriteCase>;
TEST_P(WriteWholeFileContract, Holds) { CheckWrite(*this, Param()); }
ORV_CONTRACT_TABLE(WriteWholeFileContract, kWriteCases)

using WriteWholeFileOnAFullDiskContract = ContractTest<WriteCase>;
TEST_P(WriteWholeFileOnAFullDiskContract, Holds) { CheckWrite(*this, Param()); }
ORV_CONTRACT_TABLE(WriteWholeFileOnAFullDiskContract, kFullDiskCases)

template <typename Fixture>
void CheckWrite(Fixture& t, const WriteCase& c) {
    World& here = t.Here();
    Platform& subject = t.Subject();
    const std::string path = t.In(c.asked);
    if (c.made == Entry::File) here.MakeFile(path, c.before);
    if (c.made == Entry::Folder) here.MakeFolder(path);
    if (c.readOnly) here.SetReadOnly(path);
    if (c.held) here.HoldOpen(path);
    if (c.freeSpace) here.LimitFreeSpace(*c.freeSpace);
    if (c.leftover) here.MakeFile(path + "~orv", "half");

    try {
        subject.WriteWholeFile(path, c.written.data(), c.written.size());
        EXPECT_TRUE(c.outcome == Outcome::Written) << "no error was raised";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(c.outcome == Outcome::CreateError) << "EFCreateError " << e.Message();
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"" + subject.FullPath(path) + "\". " + subject.SystemErrorText(c.code));
    } catch (const EWriteError& e) {
        EXPECT_TRUE(c.outcome == Outcome::WriteError) << "EWriteError " << e.Message();
        EXPECT_EQ(e.Message(), "Stream write error");
    }

    if (c.outcome == Outcome::Written) {
        EXPECT_EQ(here.Bytes(path), c.written);
    } else if (c.made == Entry::File) {
        EXPECT_EQ(here.Bytes(path), c.before);
        EXPECT_EQ(here.IsReadOnly(path), c.readOnly);
    }
    // The temporary file never outlives the write, whatever happened.
    std::vector<std::string> expected;
    if (c.made == Entry::Folder) expected = {"OV.MCX\\"};
    if (c.made == Entry::File || c.outcome == Outcome::Written) expected = {"OV.MCX"};
    EXPECT_EQ(here.Entries(here.Scratch()), expected);
}

}  // namespace orv::contract
