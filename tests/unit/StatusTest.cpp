#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"
#include "HostLocation.h"

namespace orv::test {
namespace {

struct Expected {
    const char* top;
    bool install, remove, edit;
    const char* version;  // the text of the version label, "" when it was never set
};

void ExpectView(const RecordingView& view, const Expected& e, const std::string& name) {
    EXPECT_STREQ(view.TopPanel(), e.top) << name;
    EXPECT_EQ(view.buttons.at(Button::Install), e.install) << name;
    EXPECT_EQ(view.buttons.at(Button::Remove), e.remove) << name;
    EXPECT_EQ(view.buttons.at(Button::EditUserMac), e.edit) << name;
    EXPECT_EQ(view.versionText, e.version) << name;
}

TEST(RefreshStatus, VisibleStates) {
    const struct {
        const char* name;
        void (*lay)(MemoryPlatform&);
        Expected expected;
    } cases[] = {
        {"no host", [](MemoryPlatform&) {}, {"NoChemStation", false, false, false, ""}},
        {"mass-spec only", [](MemoryPlatform& p) { p.AddFolder(Root + "\\msexe"); },
         {"MSChemStation", false, false, false, ""}},
        {"older version: score 8", [](MemoryPlatform& p) { LayHost(p); LayInstalled(p, "A.03.01"); },
         {"Version", true, true, true, "A.03.01"}},
        {"version differing in case only", [](MemoryPlatform& p) { LayHost(p); LayInstalled(p, "a.03.02"); },
         {"Version", true, true, true, "a.03.02"}},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        c.lay(platform);
        RecordingView view;
        RefreshStatus(platform, Root, view);
        ExpectView(view, c.expected, c.name);
    }
}

// Every score from 0 to 9, with the version element counted or not: every panel and every button, not only
// the panel on top (a panel under the version panel is still set, and shows once the version matches).
TEST(RefreshStatus, EveryScoreSetsEveryPanelAndButton) {
    for (int score = 0; score <= 9; ++score) {
        for (const bool versionCounts : {false, true}) {
            if ((score == 0 && versionCounts) || (score == 9 && !versionCounts)) continue;
            MemoryPlatform platform;
            LayHost(platform);
            // The elements in their order: seven files, the start line, then the version.
            int elements = versionCounts ? score - 1 : score;
            for (const PayloadEntry& entry : PayloadCatalogue) {
                if (elements > 0) platform.AddFile(Root + entry.target, "x");
                --elements;
            }
            if (elements > 0) platform.AddFile(Root + "\\core\\user.mac", StartLine + "\r\n");
            platform.AddFile(Root + "\\OV\\OV.INI", versionCounts ? "[OV]\r\nVersion=A.03.02\r\n" : "[OV]\r\n");
            RecordingView view;
            RefreshStatus(platform, Root, view);
            const std::string name = "score " + std::to_string(score) + (versionCounts ? " with" : " without") + " the version";
            EXPECT_FALSE(view.panels[Panel::NoChemStation]) << name;
            EXPECT_FALSE(view.panels[Panel::MSChemStation]) << name;
            EXPECT_EQ(view.panels[Panel::NotInstalled], score == 0) << name;
            EXPECT_EQ(view.panels[Panel::SomeInstalled], score > 0 && score < 9) << name;
            EXPECT_EQ(view.panels[Panel::AllInstalled], score == 9) << name;
            EXPECT_EQ(view.panels[Panel::Version], !versionCounts) << name;
            EXPECT_EQ(view.buttons[Button::Install], score < 9) << name;
            EXPECT_EQ(view.buttons[Button::Remove], score > 0) << name;
            EXPECT_TRUE(view.buttons[Button::EditUserMac]) << name;
            EXPECT_EQ(view.versionText, versionCounts ? "A.03.02" : "None") << name;
        }
    }
}

TEST(RefreshStatus, StartLineDetection) {
    const struct {
        std::string userMac;
        bool counts;
    } cases[] = {
        {"  macro \"..\\ov\\ov.mcx\",go ! with more\r\n", true},
        {"x MACRO \"..\\OV\\OV.MCX\",GO\r\n", false},
        {"MACRO x\r\n\tMACRO \"..\\OV\\OV.MCX\",GO\n", true},
        {"MACRO \"..\\OV\\OV.MCX\", GO\r\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        LayHost(platform);
        LayInstalled(platform);
        platform.AddFile(Root + "\\core\\user.mac", c.userMac);
        RecordingView view;
        RefreshStatus(platform, Root, view);
        EXPECT_EQ(view.panels[Panel::AllInstalled], c.counts) << c.userMac;
    }
}

TEST(RefreshStatus, TwoStartLinesCountOnce) {
    MemoryPlatform platform;
    LayHost(platform);
    LayInstalled(platform, "A.03.01");
    platform.AddFile(Root + "\\core\\user.mac", StartLine + "\r\n" + StartLine + "\r\n");
    RecordingView view;
    RefreshStatus(platform, Root, view);
    EXPECT_TRUE(view.panels[Panel::SomeInstalled]);  // 8: seven files and one start line
}

TEST(RefreshStatus, UnreadableUserMacStopsAfterTheCoreTest) {
    MemoryPlatform platform;
    LayHost(platform);
    LayInstalled(platform);
    platform.SetLocked(Root + "\\core\\user.mac", true);
    RecordingView view;
    EXPECT_THROW(RefreshStatus(platform, Root, view), EFOpenError);
    EXPECT_STREQ(view.TopPanel(), "none");
    EXPECT_FALSE(view.buttons[Button::Install]);
    EXPECT_FALSE(view.buttons[Button::Remove]);
    EXPECT_TRUE(view.buttons[Button::EditUserMac]);
}

TEST(RefreshStatus, EmptyRootLooksNowhere) {
    MemoryPlatform platform;
    platform.AddFolder("C:\\core");  // would be found at the root of the current drive
    RecordingView view;
    RefreshStatus(platform, "", view);
    EXPECT_STREQ(view.TopPanel(), "NoChemStation");
    EXPECT_FALSE(view.buttons[Button::EditUserMac]);
}

TEST(LocateHost, ChemstationIniFirstThenWinIni) {
    const struct {
        const char* chemstation;  // nullptr: no file
        const char* win;
        const char* root;
        const char* profile;
    } cases[] = {
        {"[PCS]\r\nPath=C:\\A\r\n", "[PCS]\r\nPath=C:\\B\r\n", "C:\\A", "chemstation.ini"},
        {"[PCS]\r\nPath=\r\n", "[PCS]\r\nPath=C:\\B\r\n", "C:\\B", "win.ini"},
        {nullptr, "[PCS]\r\nPath=C:\\B\\\r\n", "C:\\B\\", "win.ini"},
        {nullptr, nullptr, "", "win.ini"},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        if (c.chemstation) platform.AddFile("C:\\WINDOWS\\chemstation.ini", c.chemstation);
        if (c.win) platform.AddFile("C:\\WINDOWS\\win.ini", c.win);
        const HostLocation host = LocateHost(platform);
        EXPECT_EQ(host.root, c.root);
        EXPECT_EQ(host.profile.FileName(), c.profile);
    }
}

TEST(IsHostRunning, MarkerAnywhereInTheClassNameLetterCaseCounts) {
    const struct {
        std::vector<std::string> classes;
        bool running;
    } cases[] = {
        {{}, false},
        {{"Shell_TrayWnd", "AfxPhxCntrllr42"}, true},
        {{"phxcntrllr"}, false},
        {{"PhxCntrllr", "Other", "PhxCntrllr"}, true},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        for (const std::string& name : c.classes) platform.AddWindowClass(name);
        EXPECT_EQ(IsHostRunning(platform), c.running);
    }
}

}  // namespace
}  // namespace orv::test
