// Top-level windows, the shell's open verb and the program's own resources.
#include <algorithm>
#include <vector>

#include "ContractResource.h"
#include "ContractTest.h"
#include "LineList.h"

namespace orv::contract {

using Names = std::vector<std::string>;

// Counts the classes holding the marker the way the host test does, and never stops early.
class MarkerCounter final : public WindowClassVisitor {
public:
    explicit MarkerCounter(std::string marker) : marker_(std::move(marker)) {}
    void Visit(const std::string& className) override {
        seen.push_back(className);
        if (PositionOf(marker_, className) > 0) ++matches;
    }
    Names seen;
    int matches = 0;

private:
    std::string marker_;
};

const std::string kLongClass = "OrvContract" + std::string(244, 'L');  // 255 characters

struct WindowCase {
    const char* name;
    Names classes;  // the windows made, each of its own class
    Names seen;     // the class names that must be among those visited
    int matches;    // of the marker "PhxCntrllr"
    Skip skip;
};

const WindowCase kWindowCases[] = {
    {.name = "VisitsEveryWindowAlsoAfterAMatch",
     .classes = {"OrvContractAlpha", "OrvContractPhxCntrllrOne", "OrvContractBeta", "OrvContractPhxCntrllrTwo"},
     .seen = {"OrvContractAlpha", "OrvContractPhxCntrllrOne", "OrvContractBeta", "OrvContractPhxCntrllrTwo"},
     .matches = 2},
    {.name = "NoMatchingWindow", .classes = {"OrvContractAlpha"}, .seen = {"OrvContractAlpha"}, .matches = 0},
    {.name = "ClassNameCutTo254", .classes = {kLongClass}, .seen = {kLongClass.substr(0, 254)}, .matches = 0},
};

using WindowContract = ContractTest<WindowCase>;

TEST_P(WindowContract, Holds) {
    const WindowCase& c = Param();
    for (const std::string& className : c.classes) Here().AddWindow(className);
    MarkerCounter counter("PhxCntrllr");

    Subject().EnumerateWindowClasses(counter);
    // A real desktop has windows of its own: only ours are counted on.
    for (const std::string& name : c.seen)
        EXPECT_NE(std::find(counter.seen.begin(), counter.seen.end(), name), counter.seen.end()) << name;
    for (const std::string& name : counter.seen) EXPECT_LE(name.size(), 254u) << name;
    EXPECT_EQ(counter.matches, c.matches);
}

ORV_CONTRACT_TABLE(WindowContract, kWindowCases)

struct ShellCase {
    const char* name;
    const char* target;  // under the scratch folder; "" for the world's recorder program
    const char* parameters;
    bool started;
    Skip skip;
};

// The shell starts a program with the parameters given, in the folder given; for a file whose type has no
// program it fails, which raises nothing and leaves the file as it was. Whether that failure starts nothing
// is the system's own business, and not seen here: Wine, unlike Windows, runs a program whatever type its name
// gives it (a copy of the recorder named NOTES.ORVNOASSOC was started), and a text file starts nothing anyway.
const ShellCase kShellCases[] = {
    {.name = "ProgramStartsWithItsParametersInTheFolder", .target = "", .parameters = "/x y", .started = true},
    {.name = "UnassociatedFileRaisesNothing", .target = "NOTES.ORVNOASSOC", .parameters = "/x", .started = false},
};

using ShellOpenContract = ContractTest<ShellCase>;

TEST_P(ShellOpenContract, Holds) {
    const ShellCase& c = Param();
    std::string target = Here().Recorder();
    if (*c.target != '\0') {
        target = In(c.target);
        Here().MakeFile(target, "notes");
    }
    EXPECT_NO_THROW(Subject().ShellOpen(target, c.parameters, Here().Scratch().c_str()));
    if (c.started) {
        EXPECT_EQ(Here().Recorded(1), Names{Here().Scratch() + "|" + c.parameters});
    } else {
        EXPECT_EQ(Here().Bytes(target), "notes");
    }
}

ORV_CONTRACT_TABLE(ShellOpenContract, kShellCases)

struct ResourceCase {
    const char* name;
    const char* asked;
    bool found;
    Skip skip;
};

const ResourceCase kResourceCases[] = {
    {.name = "Present", .asked = ContractResourceName, .found = true},
    {.name = "NameInOtherLetterCase", .asked = "OrvContract", .found = true},
    {.name = "Missing", .asked = "ORVNOSUCH", .found = false},
};

using ResourceContract = ContractTest<ResourceCase>;

TEST_P(ResourceContract, Holds) {
    Here().AddResource(ContractResourceName, ContractResourceBytes);

    const ImageBytes bytes = Subject().ProgramResource(Param().asked);
    EXPECT_EQ(bytes.found, Param().found);
    if (Param().found) {
        ASSERT_NE(bytes.data, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data), bytes.size), ContractResourceBytes);
    }
}

ORV_CONTRACT_TABLE(ResourceContract, kResourceCases)

}  // namespace orv::contract
