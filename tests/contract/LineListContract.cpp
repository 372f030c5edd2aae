// Line lists through a real file: how bytes on disk become lines and lines become bytes again.
#include <optional>
#include <vector>

#include "ContractTest.h"
#include "Exceptions.h"
#include "LineList.h"

namespace orv::contract {

using Lines = std::vector<std::string>;

static Lines LinesOf(const LineList& list) {
    Lines lines;
    for (std::size_t i = 0; i < list.Count(); ++i) lines.push_back(list.At(i));
    return lines;
}

struct LoadCase {
    const char* name;
    std::optional<std::string> bytes;  // none: no file
    bool held = false;
    Lines expected;  // a failed load keeps the one line the list had
    bool openError = false;
    Skip skip;
};

const LoadCase kLoadCases[] = {
    {.name = "CrLfBetween", .bytes = "A\r\nB", .expected = {"A", "B"}},
    {.name = "CrLfAfterLastLine", .bytes = "A\r\nB\r\n", .expected = {"A", "B"}},
    {.name = "LoneCrAndLoneLf", .bytes = "A\rB\nC", .expected = {"A", "B", "C"}},
    {.name = "LfThenCrIsTwoBreaks", .bytes = "A\n\rB", .expected = {"A", "", "B"}},
    {.name = "CrCrLfIsTwoBreaks", .bytes = "A\r\r\nB", .expected = {"A", "", "B"}},
    {.name = "OnlyCrLfIsOneEmptyLine", .bytes = "\r\n", .expected = {""}},
    {.name = "EmptyFileHasNoLines", .bytes = "", .expected = {}},
    {.name = "NulByteKept", .bytes = std::string("A\0B\r\nC", 6), .expected = {std::string("A\0B", 3), "C"}},
    {.name = "MissingFileKeepsLines", .expected = {"KEPT"}, .openError = true},
    {.name = "HeldOpenKeepsLines", .bytes = "A\r\n", .held = true, .expected = {"KEPT"}, .openError = true},
};

using LoadLinesContract = ContractTest<LoadCase>;

TEST_P(LoadLinesContract, Holds) {
    const LoadCase& c = Param();
    const std::string path = In("USER.MAC");
    if (c.bytes) Here().MakeFile(path, *c.bytes);
    if (c.held) Here().HoldOpen(path);
    LineList list;
    list.InsertAt(0, "KEPT");

    if (c.openError) {
        EXPECT_THROW(list.LoadLines(Subject(), path), EFOpenError);
    } else {
        list.LoadLines(Subject(), path);
    }
    EXPECT_EQ(LinesOf(list), c.expected);
}

ORV_CONTRACT_TABLE(LoadLinesContract, kLoadCases)

struct SaveCase {
    const char* name;
    std::optional<std::string> before;  // the file's bytes before
    bool reload = false;                // the list is the file loaded; else it is `lines`
    Lines lines;
    std::string expected;
    Skip skip;
};

const SaveCase kSaveCases[] = {
    {.name = "EveryLineEndsInCrLf", .lines = {"A", "B"}, .expected = "A\r\nB\r\n"},
    {.name = "EmptyListOver100BytesLeavesEmptyFile", .before = std::string(100, 'x'), .expected = ""},
    {.name = "LfEndsComeBackAsCrLf", .before = "A\nB\n", .reload = true, .expected = "A\r\nB\r\n"},
    {.name = "MixedEndsComeBackAsCrLf", .before = "A\r\nB\rC\n\nD", .reload = true,
     .expected = "A\r\nB\r\nC\r\n\r\nD\r\n"},
    {.name = "NulByteSurvivesRoundTrip", .before = std::string("A\0B\nC", 5), .reload = true,
     .expected = std::string("A\0B\r\nC\r\n", 8)},
};

using SaveLinesContract = ContractTest<SaveCase>;

TEST_P(SaveLinesContract, Holds) {
    const SaveCase& c = Param();
    const std::string path = In("USER.MAC");
    if (c.before) Here().MakeFile(path, *c.before);
    LineList list;
    if (c.reload) list.LoadLines(Subject(), path);
    for (const std::string& line : c.lines) list.InsertAt(list.Count(), line);

    list.SaveLines(Subject(), path);
    EXPECT_EQ(Here().Bytes(path), c.expected);
}

ORV_CONTRACT_TABLE(SaveLinesContract, kSaveCases)

}  // namespace orv::contract
