#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"

namespace orv::test {
namespace {

TEST(ShellActions, EditUserMacCreatesAnEmptyFileThenOpensIt) {
    MemoryPlatform platform;
    LayHost(platform);
    EditUserMac(platform, Root);
    EXPECT_EQ(platform.FileBytes(Root + "\\core\\user.mac"), "");
    ASSERT_EQ(platform.ShellCalls().size(), 1u);
    EXPECT_EQ(platform.ShellCalls()[0].target, Root + "\\core\\user.mac");

    RecordingView view;
    RefreshStatus(platform, Root, view);
    EXPECT_STREQ(view.TopPanel(), "Version");  // an empty user.mac holds no start line
    EXPECT_TRUE(view.panels[Panel::NotInstalled]);
}

TEST(ShellActions, EditUserMacKeepsAnExistingFile) {
    MemoryPlatform platform;
    LayHost(platform);
    platform.AddFile(Root + "\\core\\user.mac", "MACRO x\r\n");
    EditUserMac(platform, Root);
    EXPECT_EQ(platform.FileBytes(Root + "\\core\\user.mac"), "MACRO x\r\n");
}

TEST(ShellActions, EditUserMacThatCannotBeCreatedDoesNotOpen) {
    MemoryPlatform platform;
    platform.AddFolder(Root);  // no core folder
    try {
        EditUserMac(platform, Root);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + Root +
                                   "\\core\\user.mac\". The system cannot find the path specified");
    }
    EXPECT_TRUE(platform.ShellCalls().empty());
}

TEST(ShellActions, LinkTargets) {
    EXPECT_EQ(MailTarget("support@tovrenik.example"), "mailto:support@tovrenik.example");
    EXPECT_EQ(WebTarget("www.tovrenik.example"), "http://www.tovrenik.example?gg");
}

}  // namespace
}  // namespace orv::test
