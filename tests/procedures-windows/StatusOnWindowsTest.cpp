#include <gtest/gtest.h>

#include "Fakes.h"
#include "HostLocation.h"
#include "ScratchTree.h"
#include "WindowsPlatform.h"

namespace orv::test {
namespace {

TEST(StatusOnWindows, NothingInstalled) {
    WindowsPlatform platform;
    ScratchTree tree;
    tree.Folder("\\core");
    RecordingView view;
    RefreshStatus(platform, tree.Root(), view);
    EXPECT_STREQ(view.TopPanel(), "Version");
    EXPECT_TRUE(view.panels[Panel::NotInstalled]);
    EXPECT_EQ(view.versionText, "None");
    EXPECT_TRUE(view.buttons[Button::Install]);
    EXPECT_FALSE(view.buttons[Button::Remove]);
}

TEST(StatusOnWindows, EverythingInstalled) {
    WindowsPlatform platform;
    ScratchTree tree;
    for (const PayloadEntry& entry : PayloadCatalogue) tree.File(entry.target, "x");
    tree.File("\\core\\user.mac", "  macro \"..\\ov\\ov.mcx\",go\r\n");
    tree.File("\\OV\\OV.INI", "[OV]\r\nVersion=A.03.02\r\n");
    RecordingView view;
    RefreshStatus(platform, tree.Root(), view);
    EXPECT_STREQ(view.TopPanel(), "AllInstalled");
    EXPECT_FALSE(view.buttons[Button::Install]);
    EXPECT_TRUE(view.buttons[Button::Remove]);
}

TEST(StatusOnWindows, HostProgramWindow) {
    WindowsPlatform platform;
    EXPECT_FALSE(IsHostRunning(platform));
    {
        TopLevelWindow lowerCase("orvphxcntrllrtest");
        EXPECT_FALSE(IsHostRunning(platform));
    }
    {
        TopLevelWindow host("AfxPhxCntrllrOrvTest");
        EXPECT_TRUE(IsHostRunning(platform));
    }
    EXPECT_FALSE(IsHostRunning(platform));
}

}  // namespace
}  // namespace orv::test
