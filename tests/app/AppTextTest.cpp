#include "AppText.h"

#include <gtest/gtest.h>

#include <vector>

#include "Messages.h"

namespace orv {
namespace {

TEST(FullStopRule, AppendsOnlyAfterCharactersBeyondTheFullStop) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"x.", "x."},
        {"I/O error 183", "I/O error 183."},
        {"", ""},
        {"File access denied", "File access denied."},
        {"Version currently installed :", "Version currently installed :."},
        {"Cannot open (locked)", "Cannot open (locked)"},
        {"Stop!", "Stop!"},
        {"trailing blank ", "trailing blank "},
        {"two lines\n", "two lines\n"},
        {"ends in a comma,", "ends in a comma,"},
        {"ends in a slash/", "ends in a slash/."},
        {"8-bit \xE9", "8-bit \xE9."},  // a byte above 127 is a letter of the code page, not a negative code
    };
    for (const auto& c : cases) EXPECT_EQ(WithFullStop(c.text), c.shown) << '"' << c.text << '"';
}

TEST(ApplicationTitle, FileNameCutAtFirstFullStopAndLowered) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"C:\\Temp\\SETUP.EXE", "Setup"},
        {"C:\\Temp\\my.tool.exe", "my"},
        {"C:\\A.B\\Orvandel.exe", "Orvandel"},
        {"C:\\A.B\\ORVANDELSETUP.EXE", "Orvandelsetup"},
        {"SETUP.EXE", "Setup"},
        {"C:\\Temp\\X.EXE", "X"},
        {"C:\\Temp\\NOEXTENSION", "Noextension"},
        {"C:\\Temp\\.hidden.exe", ""},
        {"\\\\server\\share\\setup2.exe", "setup2"},  // the first character keeps its case
    };
    for (const auto& c : cases) EXPECT_EQ(TitleFromModulePath(c.path, LowerCaseAscii), c.title) << c.path;
}

TEST(ApplicationTitle, LowersWithTheGivenFunctionFromTheSecondCharacterOn) {
    static std::string seen;
    const LowerCaseFunction record = [](char* text) {
        seen = text;
        text[0] = '*';
    };
    EXPECT_EQ(TitleFromModulePath("C:\\DIR\\ABC.EXE", record), "A*C");
    EXPECT_EQ(seen, "BC");
}

TEST(AccessMarks, RemovedAsTheButtonDrawsThem) {
    const struct {
        const char* caption;
        const char* plain;
    } cases[] = {{"&Yes", "Yes"}, {"OK", "OK"}, {"Edit &user.mac", "Edit user.mac"}, {"A&&B", "A&B"}, {"End&", "End"}};
    for (const auto& c : cases) EXPECT_EQ(WithoutAccessMarks(c.caption), c.plain) << c.caption;
}

TEST(DialogClipboard, TitleTextAndCaptionsBetweenRulesWithCrLf) {
    const std::string rule = "---------------------------\r\n";
    EXPECT_EQ(DialogClipboardText("Information", "Orvandel removed\nChemStation configuration set to defaults",
                                  std::vector<std::string>{"&Yes", "&No"}),
              rule + "Information\r\n" + rule + "Orvandel removed\r\nChemStation configuration set to defaults\r\n" +
                  rule + "Yes   No   \r\n" + rule);
}

}  // namespace
}  // namespace orv
