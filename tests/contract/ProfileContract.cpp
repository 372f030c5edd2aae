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
    bool untouched = false;  // the file keeps its bytes (a refused write always does)
    std::string startsWith;  // the file's first bytes afterwards: its byte-order mark
    Skip skip;
};

const std::string kPcs = "[PCS]\r\nPath=C:\\HPCHEM\r\n";
const std::string kVersionAndX = "[OV]\r\nVersion=A.02.00\r\n[X]\r\nk=v\r\n";

std::string Utf16(const std::string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

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
    // The system's own rules, whatever the file holds.
    {.name = "ReadKeyWithoutEqualsGivesDefault", .before = "[OV]\r\nVersion\r\nVersion=A.02.00\r\n",
     .argument = "None", .expected = "None"},
    {.name = "WriteGivesKeyWithoutEqualsItsValue", .before = "[OV]\r\nVersion\r\nOther=1\r\n",
     .action = Action::Write, .argument = "A.03.02", .expected = "A.03.02", .kept = {"OV", "Other", "1"}},
    {.name = "ReadUnterminatedHeaderIsNoSection", .before = "[OV\r\nVersion=A.02.00\r\n", .argument = "None",
     .expected = "None"},
    {.name = "WriteBelowUnterminatedHeader", .before = "[OV\r\nVersion=A.02.00\r\n", .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02"},
    {.name = "ReadEmptyHeaderHidesTheKeysBelow", .before = "[OV]\r\n[]\r\nVersion=A.02.00\r\n",
     .argument = "None", .expected = "None"},
    {.name = "WriteRefusedWhereKeysWouldMove", .before = "[A]\r\nx=1\r\n[]\r\ny=2\r\n", .action = Action::Write,
     .argument = "A.03.02", .expected = "None", .refused = true, .kept = {"A", "y", "None"}},
    {.name = "RemoveLeavesFileWhereKeysWouldMove", .before = "[OV]\r\nVersion=A.02.00\r\n[ ]\r\nOther=2\r\n",
     .action = Action::Remove, .expected = "A.02.00", .kept = {"OV", "Other", "None"}, .untouched = true},
    {.name = "ReadHeaderWithTextAfterIt", .before = "[OV] ; note\r\nVersion=A.02.00\r\n", .argument = "None",
     .expected = "A.02.00"},
    {.name = "ReadHeaderUpToTheLastBracket", .before = "[OV]x]\r\nVersion=A.02.00\r\n", .section = "OV]x",
     .argument = "None", .expected = "A.02.00"},
    {.name = "WriteWithBlanksInAndAroundNames", .before = " [ O V ] \r\n\t Ver sion = A.02.00 \r\n",
     .action = Action::Write, .section = "o v", .key = "VER SION", .argument = "A.03.02", .expected = "A.03.02"},
    {.name = "ReadFirstOfDuplicateSections", .before = "[OV]\r\na=1\r\n[ov]\r\nVersion=A.02.00\r\n",
     .argument = "None", .expected = "None"},
    {.name = "WriteIntoFirstOfDuplicateSections", .before = "[OV]\r\na=1\r\n[ov]\r\nVersion=A.02.00\r\n",
     .action = Action::Write, .argument = "A.03.02", .expected = "A.03.02", .kept = {"OV", "a", "1"}},
    {.name = "RemoveFromNextOfDuplicateSections", .before = "[OV\r\n[ov]\r\nversion=A.02.00\r\n",
     .action = Action::Remove, .expected = "None"},
    {.name = "RemoveFirstOfDuplicateKeys", .before = "[OV]\r\nVersion=A.02.00\r\nversion=A.01.00\r\n",
     .action = Action::Remove, .expected = "A.01.00"},
    {.name = "ReadQuotedValue", .before = "[OV]\r\nVersion=\"A.02.00\"\r\n", .argument = "None", .expected = "A.02.00"},
    {.name = "ReadUnmatchedQuotes", .before = "[OV]\r\nVersion=\"A.02.00'\r\n", .argument = "None",
     .expected = "\"A.02.00'"},
    {.name = "WriteKeepsUtf16LittleEndian", .before = Utf16(kVersionAndX, false), .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02", .kept = {"X", "k", "v"}, .startsWith = "\xFF\xFE[\0"},
    {.name = "RemoveKeepsUtf16BigEndian", .before = Utf16(kVersionAndX, true), .action = Action::Remove,
     .expected = "None", .kept = {"X", "k", "v"}, .startsWith = "\xFE\xFF\0["},
    {.name = "WriteKeepsUtf8Mark", .before = "\xEF\xBB\xBF" + kVersionAndX, .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02", .kept = {"X", "k", "v"}, .startsWith = "\xEF\xBB\xBF["},
    {.name = "WriteWithCrOnlyLines", .before = "[X]\rk=v\r[OV]\rVersion=A.02.00\r", .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02", .kept = {"X", "k", "v"}},
    {.name = "WriteWithLfOnlyLines", .before = "[X]\nk=v\n[OV]\nVersion=A.02.00", .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02", .kept = {"X", "k", "v"}},
    {.name = "WriteOfTheValueItHoldsLeavesFile", .before = "[OV]\n  Version = \"A.03.02\" \n", .action = Action::Write,
     .argument = "A.03.02", .expected = "A.03.02", .untouched = true},
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
    if ((c.refused || c.untouched) && c.before) {
        EXPECT_EQ(Here().Bytes(path), *c.before);
    }
    if (!c.startsWith.empty()) {
        EXPECT_EQ(Here().Bytes(path).substr(0, c.startsWith.size()), c.startsWith);
    }
    // The copy the edit is made in never stays behind.
    for (const std::string& name : Here().Entries(Here().Scratch()))
        EXPECT_EQ(name.find("~ORV"), std::string::npos) << name;
}

ORV_CONTRACT_TABLE(ProfileContract, kProfileCases)

}  // namespace orv::contract
