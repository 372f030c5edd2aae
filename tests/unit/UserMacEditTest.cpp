#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"
#include "Messages.h"
#include "UserMacEdit.h"

namespace orv::test {
namespace {

const std::string UserMac = Root + "\\core\\user.mac";
const std::string Question = msg::CleanupQuestion(UserMac);

TEST(UserMacEdit, Install) {
    const struct {
        const char* name;
        const char* before;  // nullptr: no file
        std::string after;
        bool asked;
    } cases[] = {
        {"no file", nullptr, StartLine + "\r\n", false},
        {"blank lines only", "\r\n  \r\n\t\r\n", StartLine + "\r\n\r\n  \r\n\t\r\n", false},
        {"start line twice and a customer macro",
         "MACRO \"..\\OV\\OV.MCX\",GO\r\nMACRO \"..\\OV\\OV.MCX\",GO\r\nMACRO \"CUSTOM.MAC\",GO\r\n",
         StartLine + "\r\nMACRO \"CUSTOM.MAC\",GO\r\n", true},
        {"older start line in lower case", "macro \"c:\\hpchem\\ov\\ov_old.mac\",go\r\n", StartLine + "\r\n", false},
        {"line feeds only", "A\nB\n", StartLine + "\r\nA\r\nB\r\n", true},
        {"unrelated OV without backslashes", "REM OV is great\r\n", StartLine + "\r\nREM OV is great\r\n", true},
        {"add-on lines between every kind of line end",
         "A\nmacro \"..\\ov\\x.mac\",go\r\nB\rC\r\n\r\n  \\Ov\\ \nD\n\rE",
         StartLine + "\r\nA\r\nB\r\nC\r\n\r\nD\r\n\r\nE\r\n", true},
        {"start line pushes lines down across a purged one",
         "A\r\n\\ov\\\r\nB\r\nMACRO \"..\\OV\\OLD.MAC\",GO\r\nC\r\n", StartLine + "\r\nA\r\nB\r\nC\r\n", true},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        LayHost(platform);
        if (c.before) platform.AddFile(UserMac, c.before);
        ScriptedDialogs dialogs(platform, Root);
        EditUserMacForInstall(platform, Root, dialogs);
        EXPECT_EQ(platform.FileBytes(UserMac), c.after) << c.name;
        EXPECT_EQ(dialogs.Texts(), c.asked ? std::vector<std::string>{Question} : std::vector<std::string>{}) << c.name;
    }
}

TEST(UserMacEdit, CleanupAnswers) {
    const struct {
        std::deque<DialogAnswer> answers;
        int edits;
    } cases[] = {{{AnswerYes}, 1}, {{AnswerNo}, 0}, {{AnswerCancel}, 0}};
    for (const auto& c : cases) {
        MemoryPlatform platform;
        LayHost(platform);
        platform.AddFile(UserMac, "MACRO \"CUSTOM.MAC\",GO\r\n");
        ScriptedDialogs dialogs(platform, Root);
        dialogs.answers = c.answers;
        EditUserMacForInstall(platform, Root, dialogs);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, DialogKind::Information);
        EXPECT_EQ(dialogs.shown[0].buttons, DialogButtons::YesNo);
        EXPECT_EQ(dialogs.edits, c.edits);
        EXPECT_EQ(platform.ShellCalls().size(), static_cast<std::size_t>(c.edits));
    }
}

TEST(UserMacEdit, FailedSaveKeepsTheOldFileAndStillAsks) {
    MemoryPlatform platform;
    LayHost(platform);
    const std::string before = "MACRO \"CUSTOM.MAC\",GO\r\n";
    platform.AddFile(UserMac, before);
    platform.SetReadOnly(UserMac, true);
    ScriptedDialogs dialogs(platform, Root);
    EditUserMacForInstall(platform, Root, dialogs);
    EXPECT_EQ(platform.FileBytes(UserMac), before);
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Failed to modify user.mac", Question}));
    EXPECT_EQ(dialogs.shown[0].kind, DialogKind::Error);
}

TEST(UserMacEdit, Remove) {
    const struct {
        const char* before;  // nullptr: no file
        const char* after;   // nullptr: still no file
    } cases[] = {
        {nullptr, nullptr},
        {"MACRO \"CUSTOM.MAC\",GO\nREM x\n", "MACRO \"CUSTOM.MAC\",GO\r\nREM x\r\n"},
        {"MACRO \"..\\OV\\OV.MCX\",GO\r\nmacro \"..\\ov\\other.mac\",go\r\nKEEP\r\n", "KEEP\r\n"},
        {"MACRO \"..\\OV\\OV.MCX\",GO\r\n", ""},
        // The marker at the very start of the trimmed line counts as well as anywhere else.
        {"  \\ov\\old.mac\r\n\\OV\\\r\nKEEP \\O V\\\r\n", "KEEP \\O V\\\r\n"},
        {"A\r\nMACRO \"..\\OV\\OV.MCX\",GO\r\nB\nC\rD\r\n\\ov\\\nE", "A\r\nB\r\nC\r\nD\r\nE\r\n"},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        LayHost(platform);
        if (c.before) platform.AddFile(UserMac, c.before);
        ScriptedDialogs dialogs(platform, Root);
        EditUserMacForRemove(platform, Root, dialogs);
        if (c.after) EXPECT_EQ(platform.FileBytes(UserMac), c.after);
        else EXPECT_FALSE(platform.HasFile(UserMac));
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST(UserMacEdit, UnreadableFileEscapes) {
    MemoryPlatform platform;
    LayHost(platform);
    platform.AddFile(UserMac, "x\r\n");
    platform.SetLocked(UserMac, true);
    ScriptedDialogs dialogs(platform, Root);
    EXPECT_THROW(EditUserMacForInstall(platform, Root, dialogs), EFOpenError);
    EXPECT_THROW(EditUserMacForRemove(platform, Root, dialogs), EFOpenError);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(UserMacEdit, PurgeIsLinear) {
    // A million lines, a tenth of them the add-on's: a quadratic purge would not finish in a test's time.
    LineList lines;
    std::string text;
    for (int i = 0; i < 1000000; ++i) text += i % 10 == 0 ? "MACRO \"..\\OV\\X.MAC\",GO\r\n" : "MACRO \"A.MAC\",GO\r\n";
    lines.SetText(text);
    PurgeAddonLines(lines);
    EXPECT_EQ(lines.Count(), 900000u);
}

}  // namespace
}  // namespace orv::test
