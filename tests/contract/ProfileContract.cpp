// Profile files: reading, writing and removing one key, always read back through a new ProfileFile.
#include <optional>

#include "ContractTest.h"
#include "Exceptions.h"
#include "ProfileFile.h"

namespace orv::contract {

enum class Action { Read, Write, Remove };

struct KeyValue {
    const char* section = nullptr;
    const char* key = nullptr;
    const char* value = nullptr;
};

struct ProfileCase {
    const char* name;
    std::optional<std::string> before;  // the file's bytes; none: no file
    bool readOnly = false;
    const char* file = "OV.INI";
    Action action = Action::Read;
    const char* section = "OV";
    const char* key = "Version";
    std::string argument;  // the default for a read, the value for a write
    std::string expected;  // what the read gives; after a write or removal, a fresh read with default "None"
    bool refused = false;  // the write raises EIniFileException
    bool createsFile = false;
    KeyValue kept;  // another key that must keep its value
    Skip skip;
};

const std::string kPcs = "[PCS]\r\nPath=C:\\HPCHEM\r\n";

const ProfileCase kProfileCases[] = {
    {.name = "ReadFromMissingFileGivesDefault", .argument = "None", .expected = "None"},
    {.name = "ReadFromMissingSectionGivesDefault", .before = kPcs, .argument = "===", .expected = "==="},
    {.name = "ReadMissingKeyGivesEmptyDefault", .before = "[OV]\r\nBuild=7\r\n", .expected = ""},
    {.name = "ReadStoredValue", .before = kPcs, .section = "PCS", .key = "Path", .argument = "None",
     .expected = "C:\\HPCHEM"},
    {.name = "ReadCutsLongValueTo2047", .before = "[OV]\r\nVersion=" + std::string(3000, '7') + "\r\n",
     .argument = "None", .expected = std::string(2047, '7')},
    {.name = "WriteCreatesMissingFile", .action = Action::Write, .argument = "A.03.02", .expected = "A.03.02",
     .createsFile = true},
    {.name = "WriteAddsMissingSection", .before = kPcs, .action = Action::Write, .argument = "A.03.02",
     .expected = "A.03.02", .kept = {"PCS", "Path", "C:\\HPCHEM"}},
    {.name = "WriteReplacesValue", .before = "[OV]\r\nVersion=A.02.00\r\nBuild=7\r\n", .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02", .kept = {"OV", "Build", "7"}},
    {.name = "WriteIntoMissingFolderRefused", .file = "NoSuchFolder\\OV.INI", .action = Action::Write,
     .argument = "A.03.02", .expected = "None", .refused = true},
    {.name = "WriteToReadOnlyFileRefused", .before = "[OV]\r\nVersion=A.02.00\r\n", .readOnly = true,
     .action = Action::Write, .argument = "A.03.02", .expected = "A.02.00", .refused = true},
    {.name = "RemoveKey", .before = "[OV]\r\nVersion=A.03.02\r\nBuild=7\r\n", .action = Action::Remove,
     .expected = "None", .kept = {"OV", "Build", "7"}},
    {.name = "RemoveFromMissingFileDoesNothing", .action = Action::Remove, .expected = "None"},
};

using ProfileContract = ContractTest<ProfileCase>;

TEST_P(ProfileContract, Holds) {
    const ProfileCase& c = Param();
    const std::string path = In(c.file);
    if (c.before) Here().MakeFile(path, *c.before);
    if (c.readOnly) Here().SetReadOnly(path);

    if (c.action == Action::Read) {
        EXPECT_EQ(ProfileFile(Subject(), path).ReadValue(c.section, c.key, c.argument), c.expected);
    } else {
        {
            ProfileFile profile(Subject(), path);
            if (c.action == Action::Remove) {
                profile.RemoveValue(c.section, c.key);
            } else if (c.refused) {
                try {
                    profile.WriteValue(c.section, c.key, c.argument);
                    ADD_FAILURE() << "the write was not refused";
                } catch (const EIniFileException& e) {
                    EXPECT_EQ(e.Message(), "Unable to write to " + path);
                }
            } else {
                profile.WriteValue(c.section, c.key, c.argument);
            }
        }
        // Released: whatever the system buffered is in the file now, and a new object sees it.
        EXPECT_EQ(ProfileFile(Subject(), path).ReadValue(c.section, c.key, "None"), c.expected);
    }
    if (c.kept.section != nullptr) {
        EXPECT_EQ(ProfileFile(Subject(), path).ReadValue(c.kept.section, c.kept.key, "None"), c.kept.value);
    }
    EXPECT_EQ(Here().HasFile(path), c.before.has_value() || c.createsFile);
    if (c.refused && c.before) {
        EXPECT_EQ(Here().Bytes(path), *c.before);
    }
}

ORV_CONTRACT_TABLE(ProfileContract, kProfileCases)

}  // namespace orv::contract
