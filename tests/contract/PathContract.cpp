// How paths resolve: the two presence queries, the absolute form shown in messages, and the system's texts.
#include "ContractTest.h"
#include "Exceptions.h"

namespace orv::contract {

// How the asked name is turned into the path handed to the platform.
enum class Form {
    InScratch,      // the scratch folder's absolute path, a backslash, the name
    FromDriveRoot,  // the same without its drive letter: it begins with one backslash
    Relative,       // the name alone, with the scratch folder as the current folder
    Empty,          // the empty text
};

class PathTest {
protected:
    // The scratch folder is made current in every form, so a drive-less path lands on its drive.
    static std::string PathFor(World& world, Form form, const std::string& name) {
        world.EnterFolder(world.Scratch());
        const std::string absolute = world.Scratch() + "\\" + name;
        switch (form) {
        case Form::InScratch: return absolute;
        case Form::FromDriveRoot: return absolute.substr(2);
        case Form::Relative: return name;
        case Form::Empty: return "";
        }
        return absolute;
    }
    static void Make(World& world, Entry entry, const std::string& path) {
        if (entry == Entry::File) world.MakeFile(path, "x");
        if (entry == Entry::Folder) world.MakeFolder(path);
    }
};

struct PresenceCase {
    const char* name;
    Entry made;
    const char* madeName = "A.TXT";
    Form form = Form::InScratch;
    const char* asked = "A.TXT";
    bool file = false;
    bool folder = false;
    Skip skip;
};

const PresenceCase kPresenceCases[] = {
    {.name = "FileIsOnlyAFile", .made = Entry::File, .file = true},
    {.name = "FolderIsOnlyAFolder", .made = Entry::Folder, .folder = true},
    {.name = "MissingIsNeither", .made = Entry::None},
    {.name = "UnderMissingFolderIsNeither", .made = Entry::None, .asked = "NOSUCH\\A.TXT"},
    {.name = "EmptyPathIsNeither", .made = Entry::File, .form = Form::Empty},
    {.name = "NamesIgnoreLetterCase", .made = Entry::File, .madeName = "OV.INI", .asked = "ov.ini", .file = true},
    {.name = "FileFromDriveRoot", .made = Entry::File, .form = Form::FromDriveRoot, .file = true},
    {.name = "FolderFromDriveRoot", .made = Entry::Folder, .form = Form::FromDriveRoot, .folder = true},
    {.name = "FileRelativeToCurrentFolder", .made = Entry::File, .form = Form::Relative, .file = true},
    {.name = "FolderRelativeToCurrentFolder", .made = Entry::Folder, .form = Form::Relative, .folder = true},
};

class PresenceContract : public ContractTest<PresenceCase>, protected PathTest {};

TEST_P(PresenceContract, Holds) {
    const PresenceCase& c = Param();
    Make(Here(), c.made, In(c.madeName));
    const std::string path = PathFor(Here(), c.form, c.asked);
    EXPECT_EQ(Subject().FileIsPresent(path), c.file) << path;
    EXPECT_EQ(Subject().FolderIsPresent(path), c.folder) << path;
}

ORV_CONTRACT_TABLE(PresenceContract, kPresenceCases)

struct FullPathCase {
    const char* name;
    Form form;
    const char* asked;
    const char* expected;  // after the scratch folder and a backslash
    Skip skip;
};

const FullPathCase kFullPathCases[] = {
    {.name = "AbsoluteStaysAsGiven", .form = Form::InScratch, .asked = "OV\\OV.INI", .expected = "OV\\OV.INI"},
    {.name = "LetterCaseKept", .form = Form::InScratch, .asked = "ov\\Ov.Ini", .expected = "ov\\Ov.Ini"},
    {.name = "DriveRootGainsDrive", .form = Form::FromDriveRoot, .asked = "core\\user.mac",
     .expected = "core\\user.mac"},
    {.name = "RelativeJoinsCurrentFolder", .form = Form::Relative, .asked = "user.mac", .expected = "user.mac"},
    {.name = "ParentStepsFolded", .form = Form::InScratch, .asked = "core\\..\\user.mac", .expected = "user.mac"},
};

class FullPathContract : public ContractTest<FullPathCase>, protected PathTest {};

TEST_P(FullPathContract, Holds) {
    const FullPathCase& c = Param();
    EXPECT_EQ(Subject().FullPath(PathFor(Here(), c.form, c.asked)), In(c.expected));
}

ORV_CONTRACT_TABLE(FullPathContract, kFullPathCases)

struct SystemTextCase {
    const char* name;
    unsigned long code;
    bool hasText;
    Skip skip;
};

const SystemTextCase kSystemTextCases[] = {
    {.name = "FileNotFound", .code = winerr::FileNotFound, .hasText = true},
    {.name = "PathNotFound", .code = winerr::PathNotFound, .hasText = true},
    {.name = "AccessDenied", .code = winerr::AccessDenied, .hasText = true},
    {.name = "SharingViolation", .code = winerr::SharingViolation, .hasText = true},
    {.name = "DiskFull", .code = winerr::DiskFull, .hasText = true},
    {.name = "UnknownCodeHasNoText", .code = 0x2000F00Du, .hasText = false},
};

using SystemTextContract = ContractTest<SystemTextCase>;

TEST_P(SystemTextContract, Holds) {
    const std::string text = Subject().SystemErrorText(Param().code);
    EXPECT_EQ(!text.empty(), Param().hasText) << text;
    // What follows the message's last word would show after the closing quote: nothing may.
    EXPECT_EQ(text, TrimSystemText(text));
}

ORV_CONTRACT_TABLE(SystemTextContract, kSystemTextCases)

}  // namespace orv::contract
