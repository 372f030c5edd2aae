#include <gtest/gtest.h>

#include "Fakes.h"
#include "Sha256.h"
#include "Unattended.h"

namespace orv::test {
namespace {

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(Sha256::Of(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256::Of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256::Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    Sha256 chunked;  // fed in uneven pieces across block edges
    const std::string million(1000000, 'a');
    for (std::size_t at = 0; at < million.size(); at += 997)
        chunked.Update(reinterpret_cast<const unsigned char*>(million.data()) + at, std::min<std::size_t>(997, million.size() - at));
    EXPECT_EQ(chunked.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(CommandLine, SplitsAsTheRuntimeDoes) {
    const struct {
        std::string line;
        std::vector<std::string> words;
    } cases[] = {
        {"setup.exe /install", {"setup.exe", "/install"}},
        {"\"C:\\Program Files\\setup.exe\"  /LOG=\"C:\\my logs\\run.log\"",
         {"C:\\Program Files\\setup.exe", "/LOG=C:\\my logs\\run.log"}},
        {"a \\\\server\\share b\\\"c", {"a", "\\\\server\\share", "b\"c"}},
        {"a \"\" b", {"a", "", "b"}},
        {"  ", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLine, Switches) {
    const struct {
        std::vector<std::string> args;
        Action action;
        bool quiet;
        std::string log;
        bool valid;
    } cases[] = {
        {{"x"}, Action::Window, false, "", true},
        {{"x", "/install", "/quiet"}, Action::Install, true, "", true},
        {{"x", "-REMOVE", "/S"}, Action::Remove, true, "", true},
        {{"x", "/Status", "/VerySilent"}, Action::Status, true, "", true},
        {{"x", "/verify", "/qn", "/log=C:\\a b.log"}, Action::Verify, true, "C:\\a b.log", true},
        {{"x", "/?"}, Action::Usage, false, "", true},
        {{"x", "-VERSION", "/quiet"}, Action::Version, true, "", true},
        {{"x", "/version", "/verify"}, Action::Verify, false, "", false},
        {{"x", "/install", "/remove"}, Action::Remove, false, "", false},
        {{"x", "/quiet"}, Action::Window, true, "", false},
        {{"x", "/install", "/log="}, Action::Install, false, "", false},
        {{"x", "/instal"}, Action::Window, false, "", false},
        {{"x", "install"}, Action::Window, false, "", false},
        // A device is no log file, in any letter case, folder or extension.
        {{"x", "/install", "/log=NUL"}, Action::Install, false, "", false},
        {{"x", "/install", "/log=C:\\logs\\com1.log"}, Action::Install, false, "", false},
        {{"x", "/install", "/log:lpt9"}, Action::Install, false, "", false},
        {{"x", "/install", "/log=C:\\logs\\console.log"}, Action::Install, false, "C:\\logs\\console.log", true},
        {{"x", "/install", "/log=COM10.log"}, Action::Install, false, "COM10.log", true},
        // A pipe or a device of the system's namespace; a refused name is kept from the run, never opened.
        {{"x", "/install", "/log=\\\\.\\pipe\\orv"}, Action::Install, false, "", false},
        {{"x", "/install", "/log=//?/GLOBALROOT/Device/Null"}, Action::Install, false, "", false},
        {{"x", "/bogus", "/log=C:\\bad.log"}, Action::Window, false, "C:\\bad.log", false},
    };
    for (const auto& c : cases) {
        const Options o = ParseOptions(c.args);
        EXPECT_EQ(o.error.empty(), c.valid) << c.args.back() << ": " << o.error;
        EXPECT_EQ(o.action, c.action) << c.args.back();
        EXPECT_EQ(o.quiet, c.quiet) << c.args.back();
    }
}

TEST(CommandLine, LogFileRefusals) {
    const struct {
        LogFileFacts facts;
        bool elevated;
        std::string refusal;  // after "The log file C:\r.log"; "" when it takes the record
    } cases[] = {
        {{}, true, ""},
        {{.diskFile = false}, false, " is no file on a disk"},
        {{.folder = true}, false, " is a folder"},
        {{.link = true}, false, " is a link"},
        {{.names = 2}, false, " has more than one name (hard links)"},
        {{.ownerTrusted = false}, true, " belongs to another user"},
        {{.ownerTrusted = false}, false, ""},
    };
    for (const auto& c : cases) {
        const std::string refusal = LogFileRefusal("C:\\r.log", c.facts, c.elevated);
        EXPECT_EQ(refusal, c.refusal.empty() ? "" : "The log file C:\\r.log" + c.refusal) << c.refusal;
    }
}

struct Lines final : LineSink {
    void WriteLine(const std::string& line) override {
        lines.push_back(line);
        if (lines.size() == failAtLine) failed = true;
    }
    bool Failed() const override { return failed; }
    bool Has(const std::string& part) const {
        for (const std::string& line : lines) {
            if (line.find(part) != std::string::npos) return true;
        }
        return false;
    }
    std::vector<std::string> lines;
    std::size_t failAtLine = 0;  // the line whose write fails (a full disk, a share gone), 0 for none
    bool failed = false;
};

struct Unattended {
    MemoryPlatform platform;
    Lines out, log;
    int Run(const std::string& switches) {
        SmallPayload(platform);
        const Options options = ParseOptions(SplitCommandLine("OrvandelSetup.exe " + switches));
        return RunUnattended(platform, options, RunFacts{"2026-12-08 10:00:00 +01:00", "lab", "PC1", switches, "0123abc"}, out, log,
                             nullptr);
    }
};

TEST(Unattended, ExitCodes) {
    const struct {
        const char* name;
        void (*lay)(MemoryPlatform&);
        const char* switches;
        int code;
        std::string said;  // a part of a line on the console
    } cases[] = {
        {"fresh install", [](MemoryPlatform& p) { LayHost(p); }, "/install /quiet", ExitSuccess, "Restart the ChemStation"},
        {"customer macros: the question gets No",
         [](MemoryPlatform& p) { LayHost(p); p.AddFile(Root + "\\core\\user.mac", "MACRO \"A.MAC\",GO\r\n"); },
         "/install /quiet", ExitSuccess, "Do you want to check"},
        {"read-only file",
         [](MemoryPlatform& p) {
             LayHost(p);
             p.AddFile(Root + "\\OV\\OVENV.EXE", "old");
             p.SetReadOnly(Root + "\\OV\\OVENV.EXE", true);
         },
         "/install /quiet", ExitReportedFailures, "Error: Failed to install"},
        // A window of the host on this desktop, seen by the procedure itself.
        {"host window: install", [](MemoryPlatform& p) { LayHost(p); p.AddWindowClass("AfxPhxCntrllr"); },
         "/install /quiet", ExitHostRunning, "Error: The ChemStation program is running"},
        {"host window: remove", [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); p.AddWindowClass("PhxCntrllr"); },
         "/remove /quiet", ExitHostRunning, "Error: The ChemStation program is running"},
        {"no host", [](MemoryPlatform&) {}, "/install /quiet", ExitNoHost, "ChemStation not found"},
        {"mass-spec only",
         [](MemoryPlatform& p) {
             p.AddFile("C:\\WINDOWS\\chemstation.ini", "[PCS]\r\nPath=" + Root + "\r\n");
             p.AddFolder(Root + "\\msexe");
         },
         "/status", ExitNoHost, "GCMS ChemStation is not supported"},
        {"locked user.mac",
         [](MemoryPlatform& p) {
             LayHost(p);
             p.AddFile(Root + "\\core\\user.mac", "x");
             p.SetLocked(Root + "\\core\\user.mac", true);
         },
         "/install /quiet", ExitStoppedByError, "by another process."},
        {"remove", [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); }, "/remove /quiet", ExitSuccess,
         "Orvandel removed"},
        {"status", [](MemoryPlatform& p) { LayHost(p); LayInstalled(p, "A.03.01"); }, "/status", ExitSuccess,
         "score 8 of 9: incomplete"},
        {"verify a foreign installation", [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); }, "/verify", ExitVerifyFailed,
         "2 of 9 hold"},
        {"verify: the start line not first",
         [](MemoryPlatform& p) {
             LayHost(p);
             LayInstalled(p);
             p.AddFile(Root + "\\core\\user.mac", "MACRO \"SITE.MAC\",GO\r\n" + StartLine + "\r\n");
         },
         "/verify", ExitVerifyFailed, "1 of 9 hold"},
        {"invalid", [](MemoryPlatform&) {}, "/frobnicate", ExitInvalidCommandLine, "Unknown switch: /frobnicate"},
        // The host's programs in any session, seen by their files: a SYSTEM run sees none of their windows.
        {"host program in another session",
         [](MemoryPlatform& p) { LayHost(p); p.AddProcess("ChemMain.exe", "c:\\hpchem\\CORE\\ChemMain.exe"); },
         "/install /quiet", ExitHostRunning, "running: ChemMain.exe (c:\\hpchem\\CORE\\ChemMain.exe)"},
        {"host helper during a remove",
         [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); p.AddProcess("agent.exe", Root + "\\helpers\\agent.exe"); },
         "/remove /quiet", ExitHostRunning, "first close the ChemStation"},
        {"a program beside the tree is not the host's",
         [](MemoryPlatform& p) { LayHost(p); p.AddProcess("x.exe", Root + "2\\x.exe"); }, "/install /quiet", ExitSuccess,
         "Restart the ChemStation"},
        {"a placed file that cannot be read back for its digest",
         [](MemoryPlatform& p) {
             LayHost(p);
             p.faultHook = [](const char* op, const std::string& path) {
                 return std::string(op) == "ReadWholeFile" && path.find("OVENV") != std::string::npos ? 32ul : 0ul;
             };
         },
         "/install /quiet", ExitReportedFailures, Root + "\\OV\\OVENV.EXE"},
        // Links and substituted drives, on the root's side and on the program's.
        {"the root reached through a link",
         [](MemoryPlatform& p) { LayHost(p); p.SetResolvesTo(Root, "D:\\REAL"); p.AddProcess("a.exe", "d:\\real\\a.exe"); },
         "/install /quiet", ExitHostRunning, "running: a.exe (d:\\real\\a.exe)"},
        {"a program started through a substituted drive",
         [](MemoryPlatform& p) { LayHost(p); p.SetResolvesTo("S:", Root); p.AddProcess("b.exe", "S:\\core\\b.exe"); },
         "/install /quiet", ExitHostRunning, "running: b.exe (S:\\core\\b.exe)"},
        {"a process that cannot be opened does not count",
         [](MemoryPlatform& p) { LayHost(p); p.AddProcess("audiodg.exe", ""); }, "/install /quiet", ExitSuccess,
         "Restart the ChemStation"},
        {"another run of the installer",
         [](MemoryPlatform& p) { LayHost(p); p.SetOtherRunActive(true); }, "/install /quiet", ExitHostRunning,
         "held by: process 4 (OrvandelSetup.exe)"},
        // A lock that cannot be made (its name taken by an event) is no lock: the run does not go on.
        {"the lock cannot be made",
         [](MemoryPlatform& p) {
             LayHost(p);
             p.faultHook = [](const char* op, const std::string&) { return std::string(op) == "ClaimSoleRun" ? 6ul : 0ul; };
         },
         "/install /quiet", ExitStoppedByError, "Error: The one-run lock could not be made: error 6."},
        {"the status while another run goes on",
         [](MemoryPlatform& p) { LayHost(p); p.SetOtherRunActive(true); }, "/status /quiet", ExitSuccess,
         "score 0 of 9"},
        // A version record that is still there after the removal is no removal.
        {"version record read-only",
         [](MemoryPlatform& p) {
             LayHost(p);
             LayInstalled(p);
             p.SetReadOnly(Root + "\\OV\\OV.INI", true);
         },
         "/remove /quiet", ExitReportedFailures,
         "Error: the recorded version could not be removed from " + std::string(Root) + "\\OV\\OV.INI"},
        {"version record held open by another program",
         [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); p.SetLocked(Root + "\\OV\\OV.INI", true); },
         "/remove /quiet", ExitReportedFailures, "Error: the recorded version could not be removed from"},
        // Write without Modify on a folder: a standard user's run rewrites its files in place and says so.
        {"a folder where files may be written but not created",
         [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); p.SetCreateDenied(Root + "\\OV\\SCRIPTS\\PDF", true); },
         "/install /quiet", ExitSuccess, "PDFPRE.VBS was rewritten in place, not in one step"},
        {"the same folder in an elevated run",
         [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); p.SetCreateDenied(Root + "\\OV\\SCRIPTS\\PDF", true); p.SetElevated(true); },
         "/install /quiet", ExitReportedFailures, "Error: Failed to install"},
        // Every folder a run writes or deletes in, and the files there, are refused when they lead elsewhere.
        {"core a link", [](MemoryPlatform& p) { LayHost(p); p.SetLink(Root + "\\core", true); }, "/install /quiet",
         ExitReportedFailures, "Error: Not changed, since a link leads elsewhere"},
        {"core\\800 a link",
         [](MemoryPlatform& p) { LayInstrumentedHost(p, Root + "\\", false); p.SetLink(Root + "\\core\\800", true); },
         "/remove /quiet", ExitReportedFailures, Root + "\\core\\800\\TOPDATS.INI"},
        {"an instrument folder a link",
         [](MemoryPlatform& p) { LayInstrumentedHost(p, Root + "\\", false); p.SetLink(Root + "\\2", true); },
         "/remove /quiet", ExitReportedFailures, "Error: could not delete " + Root + "\\2\\conf_off.reg"},
        {"an instrument folder below a link",
         [](MemoryPlatform& p) { LayInstrumentedHost(p, "D:\\I\\", false); p.SetLink("D:\\I", true); },
         "/remove /quiet", ExitReportedFailures, "Error: could not delete D:\\I\\4\\config.reg"},
        {"a configuration file with a second name",
         [](MemoryPlatform& p) { LayInstrumentedHost(p, Root + "\\", false); p.SetHardLinked(Root + "\\core\\800\\TOPDATS.INI", true); },
         "/remove /quiet", ExitReportedFailures, "Error: Failed to restore"},
        {"a leftover replacement that is a link",
         [](MemoryPlatform& p) { LayHost(p); p.AddFile(Root + "\\core\\user.mac~orv", ""); p.SetLink(Root + "\\core\\user.mac~orv", true); },
         "/install /quiet", ExitReportedFailures, Root + "\\core\\user.mac"},
        {"an add-on file with a second name",
         [](MemoryPlatform& p) { LayHost(p); LayInstalled(p); p.SetHardLinked(Root + "\\OV\\OVENV.EXE", true); },
         "/install /quiet", ExitReportedFailures, "Error: Failed to install"},
        {"a word that would forge a line of the record", [](MemoryPlatform&) {}, "/x\nexit code 0",
         ExitInvalidCommandLine, "Unknown switch: /x\\x0Aexit"},
        {"version needs no host", [](MemoryPlatform&) {}, "/version /quiet", ExitSuccess, "commit 0123abc"},
        {"version: an item's line", [](MemoryPlatform&) {}, "/version", ExitSuccess,
         "dePdfNotesTxt  <ChemStation>\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT  19 bytes  "
         "sha256 3e54e24594d530bd3e97fc78d11ff86ff0463ea8c76f1305dbc889d8db6705ae"},
    };
    for (const auto& c : cases) {
        Unattended run;
        c.lay(run.platform);
        const Tree before = Snapshot(run.platform);
        EXPECT_EQ(run.Run(c.switches), c.code) << c.name;
        EXPECT_TRUE(run.out.Has(c.said)) << c.name;
        EXPECT_EQ(run.log.lines.back(), "exit code " + std::to_string(c.code)) << c.name;
        for (const std::string& line : run.log.lines) EXPECT_EQ(line.find('\n'), std::string::npos) << c.name;
        if (c.code == ExitHostRunning) {
            EXPECT_EQ(Snapshot(run.platform), before) << c.name << ": nothing changed";
        }
    }
}

// In an add-on folder that has become a link nothing is written or deleted, and each file left so is named (in
// a linked \\OV the version record too); the files elsewhere are done, and the run fails, a removal without
// saying it is done.
TEST(Unattended, LinkedAddonFoldersGetNothing) {
    const std::vector<std::string> pdf = {"\\OV\\SCRIPTS\\PDF\\PDFPRE.VBS", "\\OV\\SCRIPTS\\PDF\\PDFPOST.VBS",
                                          "\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT"};
    const std::vector<std::string> all = {"\\OV\\OV.MCX", "\\OV\\ORVAND16.DLL", "\\OV\\ORVAND32.DLL", "\\OV\\OVENV.EXE",
                                          pdf[0], pdf[1], pdf[2], "\\OV\\OV.INI"};
    const struct {
        const char *switches, *linked;
        std::vector<std::string> named;  // relative to the root, in the order the run names them
    } cases[] = {
        {"/install /quiet", "\\OV", all},
        {"/install /quiet", "\\OV\\SCRIPTS", pdf},
        {"/remove /quiet", "\\OV", all},
        {"/remove /quiet", "\\OV\\SCRIPTS", pdf},
    };
    for (const auto& c : cases) {
        const bool install = c.switches[1] == 'i';
        Unattended run;
        LayHost(run.platform);
        if (!install) LayInstalled(run.platform);
        run.platform.AddFolder(Root + c.linked);
        run.platform.SetLink(Root + c.linked, true);
        const std::string inside = UpperCaseAscii(Root + c.linked + "\\");
        const auto inLink = [&] {
            Tree tree = Snapshot(run.platform);
            std::erase_if(tree, [&](const auto& entry) { return entry.first.rfind(inside, 0) != 0; });
            return tree;
        };
        const Tree before = inLink();
        EXPECT_EQ(run.Run(c.switches), ExitReportedFailures) << c.linked;
        EXPECT_EQ(inLink(), before) << c.linked;
        std::vector<std::string> named;
        for (const std::string& line : run.out.lines)
            if (line.find(Root + "\\OV") != std::string::npos) named.push_back(line.substr(line.find(Root) + Root.size()));
        EXPECT_EQ(named, c.named) << c.linked;
        EXPECT_FALSE(run.out.Has("Orvandel removed")) << c.linked;
        for (const PayloadEntry& e : PayloadCatalogue) {
            const std::string path = Root + e.target;
            if (UpperCaseAscii(path).rfind(inside, 0) == 0) continue;
            EXPECT_EQ(run.platform.HasFile(path) ? run.platform.FileBytes(path) : "-",
                      install ? "new " + std::string(e.name) + "\r\n" : "-") << c.linked << " " << path;
        }
    }
}

TEST(Unattended, ARecordThatCouldNotBeWrittenIsAFailure) {
    for (const std::size_t failing : {std::size_t{2}, std::size_t{6}}) {
        Unattended run;
        LayHost(run.platform);
        run.log.failAtLine = failing;
        EXPECT_EQ(run.Run("/install /quiet /log=C:\\run.log"), ExitReportedFailures) << failing;
        EXPECT_TRUE(run.out.Has("Error: the record of this run could not be written in full")) << failing;
    }
}

TEST(Unattended, InstallThenVerifyThenTamper) {
    Unattended run;
    LayHost(run.platform);
    ASSERT_EQ(run.Run("/install /quiet /log=C:\\run.log"), ExitSuccess);
    EXPECT_TRUE(run.log.Has("folder created: " + Root + "\\OV\\SCRIPTS\\PDF"));
    EXPECT_TRUE(run.log.Has("file written: " + Root + "\\OV\\OV.MCX (13 bytes, sha256 " + Sha256::Of("new deOvMcx\r\n")));
    EXPECT_TRUE(run.log.Has("user.mac rewritten: " + Root + "\\core\\user.mac (0 lines before, 1 after)"));
    EXPECT_TRUE(run.log.Has("version recorded: A.03.02 in " + Root + "\\OV\\OV.INI"));
    EXPECT_FALSE(run.out.Has("file written"));  // steps go to the record only

    Unattended check;
    check.platform = run.platform;
    EXPECT_EQ(check.Run("/verify"), ExitSuccess);
    EXPECT_TRUE(check.out.Has("9 of 9 hold"));

    // /version names the same digests as /verify compares, and changes nothing.
    Unattended version;
    version.platform = run.platform;
    const Tree before = Snapshot(version.platform);
    EXPECT_EQ(version.Run("/version"), ExitSuccess);
    EXPECT_EQ(Snapshot(version.platform), before);
    ASSERT_EQ(version.out.lines.size(), 9u);
    EXPECT_EQ(version.out.lines[0], "Orvandel installer A.03.02");
    for (std::size_t i = 0; i < 7; ++i) {
        const std::string& line = version.out.lines[2 + i];
        EXPECT_TRUE(check.out.Has("OK        " + Root + PayloadCatalogue[i].target + "  sha256 " + line.substr(line.size() - 64)))
            << line;
    }

    Unattended tampered;
    tampered.platform = run.platform;
    tampered.platform.AddFile(Root + "\\OV\\ORVAND32.DLL", "new deOrvand32Dll\r\r");
    EXPECT_EQ(tampered.Run("/verify"), ExitVerifyFailed);
    EXPECT_TRUE(tampered.out.Has("DIFFERS   " + Root + "\\OV\\ORVAND32.DLL"));
}

TEST(Unattended, RemoveRecordsEveryChange) {
    Unattended run;
    LayHost(run.platform);
    LayInstalled(run.platform);
    run.platform.AddFile(Root + "\\core\\800\\CHROMTB.BAK", "default");
    EXPECT_EQ(run.Run("/remove /quiet"), ExitSuccess);
    EXPECT_TRUE(run.log.Has("backup restored: " + Root + "\\core\\800\\CHROMTB.BAK over " + Root + "\\core\\800\\CHROMTB.INI"));
    EXPECT_TRUE(run.log.Has("file deleted: " + Root + "\\OV\\OVENV.EXE"));
    EXPECT_FALSE(run.log.Has("file deleted: " + Root + "\\OV\\TASKBOVU.BMP"));  // it was not there
    EXPECT_TRUE(run.log.Has("version removed from " + Root + "\\OV\\OV.INI"));
    EXPECT_TRUE(run.out.Has("ChemStation configuration set to defaults"));
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

TEST(Unattended, ProcessesNotExaminedAreNoted) {
    Unattended run;
    LayHost(run.platform);
    run.platform.AddProcess("audiodg.exe", "");
    EXPECT_EQ(run.Run("/install /quiet"), ExitSuccess);
    EXPECT_TRUE(run.log.Has("not examined: process 4 (audiodg.exe)"));
}

TEST(Unattended, SilentDeleteFailureIsNotSuccess) {
    Unattended run;
    LayHost(run.platform);
    LayInstalled(run.platform);
    run.platform.SetLocked(Root + "\\OV\\ORVAND16.DLL", true);  // the host's 16-bit side still holds it
    EXPECT_EQ(run.Run("/remove /quiet"), ExitReportedFailures);
    EXPECT_TRUE(run.out.Has("Error: could not delete " + Root + "\\OV\\ORVAND16.DLL"));
}

}  // namespace
}  // namespace orv::test
