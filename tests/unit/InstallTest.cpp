#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"
#include "Messages.h"

namespace orv::test {
namespace {

const std::string UserMac = Root + "\\core\\user.mac";
const std::string OvIni = Root + "\\OV\\OV.INI";

struct InstallRun {
    MemoryPlatform platform;
    RecordingView view;
    ScriptedDialogs dialogs{platform, Root};
    std::vector<std::string> createdFolders;

    void Install() {
        platform.faultHook = [this](const char* op, const std::string& path) {
            if (std::string(op) == "CreateFolder") createdFolders.push_back(path);
            return 0ul;
        };
        const std::vector<PayloadItem> payload = SmallPayload(platform);
        InstallAddon(platform, LocateHost(platform), payload, view, dialogs);
    }
    bool HoldsNewPayload(const PayloadEntry& entry) const {
        return platform.FileBytes(Root + entry.target) == std::string("new ") + entry.name + "\r\n";
    }
};

TEST(Install, CompletesOnEveryKindOfTree) {
    const struct {
        const char* name;
        void (*lay)(MemoryPlatform&);
        std::vector<std::string> folders;  // created by the install
        std::string userMac;
        std::vector<std::string> dialogs;
    } cases[] = {
        {"fresh tree", [](MemoryPlatform& p) { LayHost(p); },
         {Root + "\\OV", Root + "\\OV\\SCRIPTS", Root + "\\OV\\SCRIPTS\\PDF"}, StartLine + "\r\n", {msg::InstallDone}},
        {"OV exists, SCRIPTS does not", [](MemoryPlatform& p) { LayHost(p); p.AddFolder(Root + "\\OV"); },
         {Root + "\\OV\\SCRIPTS", Root + "\\OV\\SCRIPTS\\PDF"}, StartLine + "\r\n", {msg::InstallDone}},
        {"upgrade over A.03.01 with an older start line",
         [](MemoryPlatform& p) {
             LayHost(p);
             LayInstalled(p, "A.03.01");
             p.AddFile(Root + "\\core\\user.mac", "MACRO \"..\\OV\\OV301.MCX\",GO\r\n");
         },
         {}, StartLine + "\r\n", {msg::InstallDone}},
        {"repair with customer macros",
         [](MemoryPlatform& p) {
             LayHost(p);
             p.AddFile(Root + "\\OV\\OV.MCX", "partial");
             p.AddFile(Root + "\\core\\user.mac", "MACRO \"CUSTOM.MAC\",GO\r\n" + StartLine + "\r\n");
         },
         {Root + "\\OV\\SCRIPTS", Root + "\\OV\\SCRIPTS\\PDF"}, StartLine + "\r\nMACRO \"CUSTOM.MAC\",GO\r\n",
         {msg::CleanupQuestion(Root + "\\core\\user.mac"), msg::InstallDone}},
    };
    for (const auto& c : cases) {
        InstallRun run;
        c.lay(run.platform);
        run.Install();
        EXPECT_EQ(run.createdFolders, c.folders) << c.name;
        for (const PayloadEntry& entry : PayloadCatalogue) EXPECT_TRUE(run.HoldsNewPayload(entry)) << c.name << entry.target;
        EXPECT_EQ(run.platform.FileBytes(UserMac), c.userMac) << c.name;
        EXPECT_EQ(run.platform.ReadProfileEntry(OvIni, "OV", "Version", ""), "A.03.02") << c.name;
        EXPECT_EQ(run.dialogs.Texts(), c.dialogs) << c.name;
        EXPECT_STREQ(run.view.TopPanel(), "AllInstalled") << c.name;
        EXPECT_FALSE(run.view.buttons[Button::Install]) << c.name;
        EXPECT_TRUE(run.view.buttons[Button::Remove]) << c.name;
    }
}

// A folder of the add-on replaced by a link (a junction to somewhere else): nothing is written in it or
// under it, and every item there is reported; the rest of the install goes on.
TEST(Install, ReadOnlyFileIsReportedAndTheRestInstalled) {
    InstallRun run;
    LayHost(run.platform);
    run.platform.AddFile(Root + "\\OV\\OVENV.EXE", "old exe");
    run.platform.SetReadOnly(Root + "\\OV\\OVENV.EXE", true);
    run.Install();
    EXPECT_EQ(run.dialogs.Texts(),
              (std::vector<std::string>{"Failed to install\n" + Root + "\\OV\\OVENV.EXE", msg::InstallDone}));
    EXPECT_EQ(run.platform.FileBytes(Root + "\\OV\\OVENV.EXE"), "old exe");
    for (const PayloadEntry& entry : PayloadCatalogue) {
        if (std::string(entry.name) != "deOvEnvExe") {
            EXPECT_TRUE(run.HoldsNewPayload(entry)) << entry.target;
        }
    }
    EXPECT_STREQ(run.view.TopPanel(), "AllInstalled");  // the old file still counts
}

TEST(Install, FullDiskLeavesNoTruncatedFile) {
    InstallRun run;
    LayHost(run.platform);
    run.platform.SetFreeSpace(60);  // room for the first few small items only
    EXPECT_THROW(run.Install(), EIniFileException);  // at last the version record finds no room either
    int written = 0;
    for (const PayloadEntry& entry : PayloadCatalogue) {
        const std::string target = Root + entry.target;
        if (!run.platform.HasFile(target)) continue;
        EXPECT_TRUE(run.HoldsNewPayload(entry)) << target;
        ++written;
    }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 7);
    EXPECT_EQ(run.dialogs.Texts().back(), "Failed to modify user.mac");
}

TEST(Install, ErrorsThatEndTheProcedure) {
    const struct {
        const char* name;
        void (*lay)(MemoryPlatform&);
        std::string message;
    } cases[] = {
        {"a file where the OV folder belongs", [](MemoryPlatform& p) { p.AddFile(Root + "\\OV", "x"); },
         "I/O error 183"},
        {"user.mac locked by another program",
         [](MemoryPlatform& p) {
             p.AddFile(Root + "\\core\\user.mac", "x");
             p.SetLocked(Root + "\\core\\user.mac", true);
         },
         "Cannot open file \"" + Root + "\\core\\user.mac\". The process cannot access the file because it is being "
         "used by another process"},
        {"read-only OV.INI",
         [](MemoryPlatform& p) {
             p.AddFile(Root + "\\OV\\OV.INI", "[OV]\r\nVersion=A.03.01\r\n");
             p.SetReadOnly(Root + "\\OV\\OV.INI", true);
         },
         "Unable to write to " + Root + "\\OV\\OV.INI"},
    };
    for (const auto& c : cases) {
        InstallRun run;
        LayHost(run.platform);
        c.lay(run.platform);
        try {
            run.Install();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message) << c.name;
        }
        EXPECT_NE(run.platform.ReadProfileEntry(OvIni, "OV", "Version", ""), "A.03.02") << c.name;
        EXPECT_TRUE(run.dialogs.shown.empty()) << c.name;  // neither the restart message nor re-evaluation
        EXPECT_FALSE(run.view.buttons[Button::Install]) << c.name;
    }
}

}  // namespace
}  // namespace orv::test
