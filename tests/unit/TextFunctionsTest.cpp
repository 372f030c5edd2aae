#include <gtest/gtest.h>

#include <climits>

#include "JoinedText.h"
#include "LineList.h"

namespace orv {
namespace {

TEST(TextFunctions, TrimBlanks) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\tMACRO  ", "MACRO"},
        {" \t \t", ""},
        {"", ""},
        {std::string("\0a\r\n", 4), "a"},
        {"\xA0x\xA0", "\xA0x\xA0"},  // codes above 127 are never blanks
        {"a b", "a b"},
    };
    for (const auto& c : cases) EXPECT_EQ(TrimBlanks(c.in), c.out) << c.in;
}

TEST(TextFunctions, Decimal) {
    EXPECT_EQ(Joined({"[", Decimal(0), "]"}), "[0]");
    EXPECT_EQ(Joined({Decimal(1618), Decimal(10)}), "161810");
    EXPECT_EQ(std::string_view(Decimal(ULONG_MAX)), std::to_string(ULONG_MAX));  // every digit of the widest
}

TEST(TextFunctions, UpperCaseAscii) {
    EXPECT_EQ(UpperCaseAscii("\\ov\\"), "\\OV\\");
    EXPECT_EQ(UpperCaseAscii("m\xFC" "ller"), "M\xFC" "LLER");  // the accented letter stays as it was
    EXPECT_EQ(UpperCaseAscii("{az}`"), "{AZ}`");
}

TEST(TextFunctions, PositionOf) {
    const struct {
        std::string needle, text;
        std::size_t at;
    } cases[] = {
        {"\\OV\\", "C:\\OV\\X", 3}, {"", "abc", 0},     {"a", "", 0},   {"abc", "ab", 0},
        {"b", "abcb", 2},           {"B", "abc", 0},    {"ab", "ab", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(PositionOf(c.needle, c.text), c.at) << c.needle << " in " << c.text;
}

TEST(TextFunctions, InPlaceAnswersAreThoseOfTheCopies) {
    const struct {
        std::string text, needle;
        std::size_t at;  // where the copies find the needle in the trimmed, upper-cased text
    } cases[] = {
        {"  macro \"..\\ov\\x.mac\",go\t", "\\OV\\", 10},
        {"C:\\HPCHEM\\CORE\\USER.MAC \\Ov\\", "\\OV\\", 25},  // past the first machine words
        {"0123456789abcdefgh", "GH", 17},                     // at the very end
        {"0123456789abcdefgh", "gh", 0},                      // a small letter never matches
        {"\t MACRO \"..\\OV\\OV.MCX\",GO", "MACRO \"..\\OV\\OV.MCX\",GO", 1},
        {"REM MACRO \"..\\OV\\OV.MCX\",GO", "MACRO \"..\\OV\\OV.MCX\",GO", 5},
        {std::string("\0\\ov\\\0", 6), "\\OV\\", 1},
        {"\xE4\\\xF6v\\", "\\OV\\", 0},                      // accented letters stay as they are
        {"ab", "ABC", 0},
        {"", "A", 0},
        {"A", "", 0},
        {" \t ", " ", 0},
    };
    for (const auto& c : cases) {
        const std::string upper = UpperCaseAscii(TrimBlanks(c.text));
        EXPECT_EQ(PositionOf(c.needle, upper), c.at) << c.text;
        EXPECT_EQ(UpperCasedContains(TrimmedView(c.text), c.needle), PositionOf(c.needle, upper) > 0) << c.text;
        EXPECT_EQ(UpperCasedStartsWith(TrimmedView(c.text), c.needle), PositionOf(c.needle, upper) == 1) << c.text;
    }
}

TEST(LineListText, SplitsOnEveryKindOfLineEnd) {
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"A\r\nB", {"A", "B"}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\n\rB", {"A", "", "B"}},
        {"A\r\r\nB", {"A", "", "B"}},
        {"\r\n", {""}},
        {"", {}},
        {"A\rB\nC", {"A", "B", "C"}},
        {std::string("A\0B\r\nC", 6), {std::string("A\0B", 3), "C"}},  // a NUL byte is kept, nothing is lost
    };
    for (const auto& c : cases) {
        LineList list;
        list.SetText(c.bytes);
        std::vector<std::string> got;
        for (std::size_t i = 0; i < list.Count(); ++i) got.push_back(list.At(i));
        EXPECT_EQ(got, c.lines);
    }
}

TEST(LineListText, EveryLineEndsInCrLf) {
    LineList list;
    list.SetText("A\nB");
    EXPECT_EQ(list.Text(), "A\r\nB\r\n");
    EXPECT_EQ(LineList().Text(), "");
    list.SetText(std::string("x\0y", 3));
    EXPECT_EQ(list.Text(), std::string("x\0y\r\n", 5));
}

TEST(LineListEdit, InsertDeleteAndKeepOnly) {
    LineList list;
    list.SetText("a\r\nb\r\nc\r\nd");
    list.InsertAt(0, "top");
    list.InsertAt(5, "end");
    list.DeleteAt(2);
    EXPECT_EQ(list.Text(), "top\r\na\r\nc\r\nd\r\nend\r\n");
    list.KeepOnly([](const std::string& line) { return line.size() == 1; });
    EXPECT_EQ(list.Text(), "a\r\nc\r\nd\r\n");
}

}  // namespace
}  // namespace orv
