// The install and remove procedures on real files: read-only and held-open files as Windows treats them.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"
#include "Messages.h"
#include "ScratchTree.h"
#include "WindowsPlatform.h"

namespace orv::test {
namespace {

struct WindowsRun {
    WindowsPlatform platform;
    ScratchTree tree;
    RecordingView view;
    ScriptedDialogs dialogs{platform, tree.Root()};

    WindowsRun() { tree.Folder("\\core"); }
    HostLocation Host() { return HostLocation{tree.Root(), ProfileFile(platform, tree.Root() + "\\host.ini")}; }
    void Install() { InstallAddon(platform, Host(), SmallPayloadInMemory(), view, dialogs); }
    void Remove() { RemoveAddon(platform, Host(), view, dialogs); }
};

TEST(ProceduresOnWindows, InstallCreatesTheMissingFoldersAndEveryFile) {
    WindowsRun run;
    run.Install();
    for (const PayloadEntry& entry : PayloadCatalogue)
        EXPECT_EQ(run.tree.Bytes(entry.target), std::string("new ") + entry.name + "\r\n") << entry.target;
    EXPECT_EQ(run.tree.Bytes("\\core\\user.mac"), "MACRO \"..\\OV\\OV.MCX\",GO\r\n");
    EXPECT_EQ(run.platform.ReadProfileEntry(run.tree.Root() + "\\OV\\OV.INI", "OV", "Version", ""), "A.03.02");
    EXPECT_EQ(run.dialogs.Texts(), std::vector<std::string>{msg::InstallDone});
    EXPECT_STREQ(run.view.TopPanel(), "AllInstalled");
}

TEST(ProceduresOnWindows, ReadOnlyOvEnvExeIsReportedAndKept) {
    WindowsRun run;
    run.tree.File("\\OV\\OVENV.EXE", "old exe");
    run.tree.ReadOnly("\\OV\\OVENV.EXE", true);
    run.Install();
    run.tree.ReadOnly("\\OV\\OVENV.EXE", false);
    EXPECT_EQ(run.dialogs.Texts(),
              (std::vector<std::string>{"Failed to install\n" + run.tree.Root() + "\\OV\\OVENV.EXE", msg::InstallDone}));
    EXPECT_EQ(run.tree.Bytes("\\OV\\OVENV.EXE"), "old exe");
    EXPECT_EQ(run.tree.Bytes("\\OV\\OV.MCX"), "new deOvMcx\r\n");
    EXPECT_STREQ(run.view.TopPanel(), "AllInstalled");
}

TEST(ProceduresOnWindows, HeldOpenUserMacEndsTheInstallBeforeTheVersion) {
    WindowsRun run;
    run.tree.File("\\core\\user.mac", "MACRO \"CUSTOM.MAC\",GO\r\n");
    const std::string userMac = run.tree.Root() + "\\core\\user.mac";
    {
        HeldOpen editor(userMac);
        try {
            run.Install();
            ADD_FAILURE() << "no error";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Cannot open file \"" + run.platform.FullPath(userMac) + "\". " +
                                       run.platform.SystemErrorText(32));
        }
    }
    EXPECT_EQ(run.tree.Bytes("\\core\\user.mac"), "MACRO \"CUSTOM.MAC\",GO\r\n");
    EXPECT_FALSE(run.tree.Exists("\\OV\\OV.INI"));
    EXPECT_TRUE(run.dialogs.shown.empty());
}

TEST(ProceduresOnWindows, ReadOnlyUserMacIsReportedAndKeptWhole) {
    WindowsRun run;
    run.tree.File("\\core\\user.mac", "MACRO \"CUSTOM.MAC\",GO\r\n");
    run.tree.ReadOnly("\\core\\user.mac", true);
    run.Install();
    run.tree.ReadOnly("\\core\\user.mac", false);
    EXPECT_EQ(run.tree.Bytes("\\core\\user.mac"), "MACRO \"CUSTOM.MAC\",GO\r\n");
    ASSERT_GE(run.dialogs.shown.size(), 2u);
    EXPECT_EQ(run.dialogs.shown[0].text, msg::UserMacNotSaved);
    EXPECT_EQ(run.platform.ReadProfileEntry(run.tree.Root() + "\\OV\\OV.INI", "OV", "Version", ""), "A.03.02");
}

TEST(ProceduresOnWindows, FolderThatCannotBeCreated) {
    WindowsRun run;
    run.tree.File("\\OV", "a file where the folder belongs");
    try {
        run.Install();
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "I/O error 183");
    }
    EXPECT_TRUE(run.dialogs.shown.empty());
}

TEST(ProceduresOnWindows, RemoveRestoresBackupsAndDeletesFiles) {
    WindowsRun run;
    run.Install();
    run.tree.File("\\core\\800\\TOPDATS.INI", "changed");
    run.tree.File("\\core\\800\\TOPDATS.BAK", "default");
    run.tree.File("\\1\\config.reg", "x");
    run.tree.File("\\1\\conf_off.reg", "x");
    run.tree.File("\\host.ini", "[PCS,1]\r\n_INSTPATH$=" + run.tree.Root() + "\\1\\\r\n");
    run.dialogs.shown.clear();
    run.Remove();
    EXPECT_EQ(run.tree.Bytes("\\core\\800\\TOPDATS.INI"), "default");
    EXPECT_FALSE(run.tree.Exists("\\core\\800\\TOPDATS.BAK"));
    EXPECT_FALSE(run.tree.Exists("\\1\\config.reg"));
    EXPECT_FALSE(run.tree.Exists("\\1\\conf_off.reg"));
    for (const PayloadEntry& entry : PayloadCatalogue) EXPECT_FALSE(run.tree.Exists(entry.target)) << entry.target;
    EXPECT_TRUE(run.tree.Exists("\\OV\\SCRIPTS\\PDF"));
    EXPECT_EQ(run.tree.Bytes("\\core\\user.mac"), "");
    EXPECT_EQ(run.dialogs.Texts(), std::vector<std::string>{msg::RemovedRestored});
    EXPECT_STREQ(run.view.TopPanel(), "Version");
}

TEST(ProceduresOnWindows, ReadOnlyConfigurationKeepsItsBackup) {
    WindowsRun run;
    run.tree.File("\\core\\800\\CHROMTB.INI", "changed");
    run.tree.File("\\core\\800\\CHROMTB.BAK", "default");
    run.tree.ReadOnly("\\core\\800\\CHROMTB.INI", true);
    run.Remove();
    run.tree.ReadOnly("\\core\\800\\CHROMTB.INI", false);
    EXPECT_EQ(run.tree.Bytes("\\core\\800\\CHROMTB.INI"), "changed");
    EXPECT_EQ(run.tree.Bytes("\\core\\800\\CHROMTB.BAK"), "default");
    EXPECT_EQ(run.dialogs.Texts(), (std::vector<std::string>{
                                       "Failed to restore\n" + run.tree.Root() + "\\core\\800\\CHROMTB.INI",
                                       msg::Removed}));
}

}  // namespace
}  // namespace orv::test
