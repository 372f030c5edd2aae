#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"
#include "HostContract.h"
#include "Messages.h"

namespace orv::test {
namespace {

const std::string Top = Root + "\\core\\800\\TOPDATS";
const std::string Chrom = Root + "\\core\\800\\CHROMTB";

void LayInstruments(MemoryPlatform& p) {
    std::string ini = "[PCS]\r\nPath=" + Root + "\r\n";
    for (int i = 1; i <= 4; ++i) {
        const std::string folder = Root + "\\" + std::to_string(i) + "\\";
        ini += "[PCS," + std::to_string(i) + "]\r\n_INSTPATH$=" + folder + "\r\n";
        p.AddFile(folder + "conf_off.reg", "off");
        p.AddFile(folder + "config.reg", "on");
        p.AddFile(folder + "keep.reg", "keep");
    }
    p.AddFile("C:\\WINDOWS\\chemstation.ini", ini);
    p.AddFile(Top + ".INI", "top changed");
    p.AddFile(Chrom + ".INI", "chrom changed");
}

struct RemoveRun {
    MemoryPlatform platform;
    RecordingView view;
    ScriptedDialogs dialogs{platform, Root};
    void Remove() { RemoveAddon(platform, LocateHost(platform), view, dialogs); }
    int InstrumentFilesLeft() const {
        int left = 0;
        for (int i = 1; i <= 4; ++i) {
            const std::string folder = Root + "\\" + std::to_string(i) + "\\";
            left += platform.HasFile(folder + "conf_off.reg") + platform.HasFile(folder + "config.reg");
        }
        return left;
    }
};

TEST(Remove, BackupsDecideWhatIsRestored) {
    const struct {
        const char* name;
        bool topBackup, chromBackup;
        const char* top;
        const char* chrom;
        int instrumentFilesLeft;
        const char* message;
    } cases[] = {
        {"no backup", false, false, "top changed", "chrom changed", 8, msg::Removed},
        {"CHROMTB backup only", false, true, "top changed", "chrom default", 0, msg::RemovedRestored},
        {"both backups", true, true, "top default", "chrom default", 0, msg::RemovedRestored},
    };
    for (const auto& c : cases) {
        RemoveRun run;
        LayHost(run.platform);
        LayInstalled(run.platform);
        LayInstruments(run.platform);
        if (c.topBackup) run.platform.AddFile(Top + ".BAK", "top default");
        if (c.chromBackup) run.platform.AddFile(Chrom + ".BAK", "chrom default");
        run.Remove();
        EXPECT_EQ(run.platform.FileBytes(Top + ".INI"), c.top) << c.name;
        EXPECT_EQ(run.platform.FileBytes(Chrom + ".INI"), c.chrom) << c.name;
        EXPECT_FALSE(run.platform.HasFile(Top + ".BAK") || run.platform.HasFile(Chrom + ".BAK")) << c.name;
        EXPECT_EQ(run.InstrumentFilesLeft(), c.instrumentFilesLeft) << c.name;
        EXPECT_TRUE(run.platform.HasFile(Root + "\\1\\keep.reg")) << c.name;
        EXPECT_EQ(run.dialogs.Texts(), std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(run.dialogs.shown[0].kind, DialogKind::Information) << c.name;
    }
}

TEST(Remove, LeavesFoldersAndProfileAndScoresZero) {
    RemoveRun run;
    LayHost(run.platform);
    LayInstalled(run.platform);
    run.platform.AddFile(Root + "\\OV\\TASKBOVU.BMP", "bmp");
    run.platform.AddFile(Root + "\\OV\\TASKBOVN.BMP", "bmp");
    run.platform.AddFile(Root + "\\core\\user.mac", "macro \"..\\ov\\ov.mcx\",go\r\nMACRO \"CUSTOM.MAC\",GO\r\n");
    run.Remove();
    // The names as the add-on's releases wrote them, not the program's own list.
    for (const char* file : {"\\OV\\OV.MCX", "\\OV\\ORVAND16.DLL", "\\OV\\ORVAND32.DLL", "\\OV\\TASKBOVU.BMP",
                             "\\OV\\TASKBOVN.BMP", "\\OV\\OVENV.EXE", "\\OV\\SCRIPTS\\PDF\\PDFPRE.VBS",
                             "\\OV\\SCRIPTS\\PDF\\PDFPOST.VBS", "\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT"})
        EXPECT_FALSE(run.platform.HasFile(Root + file)) << file;
    EXPECT_TRUE(run.platform.HasFolder(Root + "\\OV\\SCRIPTS\\PDF"));
    EXPECT_TRUE(run.platform.HasFile(Root + "\\OV\\OV.INI"));
    EXPECT_EQ(run.platform.ReadProfileEntry(Root + "\\OV\\OV.INI", "OV", "Version", "gone"), "gone");
    EXPECT_EQ(run.platform.FileBytes(Root + "\\core\\user.mac"), "MACRO \"CUSTOM.MAC\",GO\r\n");
    EXPECT_STREQ(run.view.TopPanel(), "Version");
    EXPECT_TRUE(run.view.panels[Panel::NotInstalled]);
    EXPECT_EQ(run.view.versionText, "None");
    EXPECT_TRUE(run.view.buttons[Button::Install]);
    EXPECT_FALSE(run.view.buttons[Button::Remove]);
}

// An instrument file that cannot be deleted keeps the backups, so that the next remove restores again and
// finishes; once it can, everything goes.
TEST(Remove, BackupsStayUntilEveryInstrumentFileIsGone) {
    RemoveRun run;
    LayHost(run.platform);
    LayInstalled(run.platform);
    LayInstruments(run.platform);
    run.platform.AddFile(Top + ".BAK", "top default");
    run.platform.AddFile(Chrom + ".BAK", "chrom default");
    run.platform.SetLocked(Root + "\\3\\config.reg", true);
    run.Remove();
    EXPECT_EQ(run.InstrumentFilesLeft(), 1);
    EXPECT_TRUE(run.platform.HasFile(Top + ".BAK"));
    EXPECT_TRUE(run.platform.HasFile(Chrom + ".BAK"));
    run.platform.SetLocked(Root + "\\3\\config.reg", false);
    run.Remove();
    EXPECT_EQ(run.InstrumentFilesLeft(), 0);
    EXPECT_FALSE(run.platform.HasFile(Top + ".BAK") || run.platform.HasFile(Chrom + ".BAK"));
    EXPECT_EQ(run.platform.FileBytes(Top + ".INI"), "top default");
}

TEST(Remove, FailedRestoreKeepsTheBackup) {
    RemoveRun run;
    LayHost(run.platform);
    LayInstalled(run.platform);
    LayInstruments(run.platform);
    run.platform.AddFile(Top + ".BAK", "top default");
    run.platform.SetReadOnly(Top + ".INI", true);
    run.Remove();
    EXPECT_EQ(run.platform.FileBytes(Top + ".INI"), "top changed");
    EXPECT_EQ(run.platform.FileBytes(Top + ".BAK"), "top default");
    EXPECT_EQ(run.InstrumentFilesLeft(), 8);  // nothing was restored, so the instrument files belong to the config
    EXPECT_EQ(run.dialogs.Texts(), (std::vector<std::string>{"Failed to restore\n" + Top + ".INI", msg::Removed}));
    EXPECT_EQ(run.dialogs.shown[0].kind, DialogKind::Error);
}

TEST(Remove, SectionsWithoutAFolderTouchNothing) {
    RemoveRun run;
    LayHost(run.platform);
    run.platform.AddFile("C:\\WINDOWS\\chemstation.ini", "[PCS]\r\nPath=" + Root + "\r\n[PCS,2]\r\n_INSTPATH$=\r\n");
    run.platform.AddFile(Chrom + ".BAK", "chrom default");
    run.platform.AddFile("C:\\WORK\\===conf_off.reg", "x");
    run.platform.AddFile("C:\\WORK\\===config.reg", "x");
    run.platform.AddFile("C:\\WORK\\conf_off.reg", "x");
    run.Remove();
    EXPECT_EQ(run.platform.FileBytes(Chrom + ".INI"), "chrom default");  // the remove ran: it restored
    EXPECT_FALSE(run.platform.HasFile(Chrom + ".BAK"));
    EXPECT_TRUE(run.platform.HasFile("C:\\WORK\\===conf_off.reg"));
    EXPECT_TRUE(run.platform.HasFile("C:\\WORK\\===config.reg"));
    EXPECT_TRUE(run.platform.HasFile("C:\\WORK\\conf_off.reg"));
}

TEST(Remove, UnreadableUserMacEndsBeforeTheBackups) {
    RemoveRun run;
    LayHost(run.platform);
    LayInstalled(run.platform);
    run.platform.AddFile(Chrom + ".BAK", "chrom default");
    run.platform.SetLocked(Root + "\\core\\user.mac", true);
    EXPECT_THROW(run.Remove(), EFOpenError);
    EXPECT_TRUE(run.platform.HasFile(Chrom + ".BAK"));
    EXPECT_TRUE(run.platform.HasFile(Root + "\\OV\\OV.MCX"));
}

}  // namespace
}  // namespace orv::test
