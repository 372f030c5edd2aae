// The installation report and the event record of a run.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "Fakes.h"
#include "InstallationReport.h"
#include "Sha256.h"

namespace orv::test {
namespace {

struct Silent final : LineSink { void WriteLine(const std::string& line) override { text += line + "\n"; } std::string text; };

int RunWith(MemoryPlatform& platform, const std::string& switches, Silent& log) {
    SmallPayload(platform);
    Silent out;
    RunFacts facts;
    facts.account = "LAB\\lab";
    return RunUnattended(platform, ParseOptions(SplitCommandLine("x " + switches)), facts, out, log, nullptr);
}

TEST(Evidence, OneEventARunOfItsKind) {
    const struct {
        void (*lay)(MemoryPlatform&);
        const char* switches;
        EventKind kind;
        int code;
        const char* text;
    } cases[] = {
        {[](MemoryPlatform& p) { LayHost(p); }, "/install /log=C:\\run.log", EventKind::Information, 0,
         "Orvandel installer A.03.02: install succeeded\r\nexit code 0\r\nuser LAB\\lab\r\nlog C:\\run.log"},
        {[](MemoryPlatform& p) { LayHost(p); p.SetOtherRunActive(true); }, "/remove", EventKind::Warning, 1618,
         "remove refused\r\nexit code 1618"},
        {[](MemoryPlatform&) {}, "/verify", EventKind::Warning, 3, "verify refused"},
        {[](MemoryPlatform& p) { LayHost(p); LayInstalled(p); }, "/verify /report=C:\\r\x01.html", EventKind::Error, 5,
         "verify failed\r\nexit code 5\r\nuser LAB\\lab\r\nlog none\r\nreport C:\\r\\x01.html"},
        {[](MemoryPlatform& p) { LayHost(p); }, "/status", EventKind::Information, 0, nullptr},
    };
    for (const auto& c : cases) {
        MemoryPlatform platform;
        c.lay(platform);
        Silent log;
        EXPECT_EQ(RunWith(platform, c.switches, log), c.code) << c.switches;
        ASSERT_EQ(platform.Events().size(), c.text ? 1u : 0u) << c.switches;
        if (!c.text) continue;
        EXPECT_EQ(platform.Events()[0].kind, c.kind) << c.switches;
        EXPECT_EQ(platform.Events()[0].id, static_cast<unsigned>(c.code)) << c.switches;
        EXPECT_NE(platform.Events()[0].text.find(c.text), std::string::npos) << platform.Events()[0].text;
    }
}

TEST(Evidence, ReportAfterEachAction) {
    EXPECT_EQ(HtmlText("C:\\R&D <'x'> \"y\"\n"), "C:\\R&amp;D &lt;&#39;x&#39;&gt; &quot;y&quot;\\x0A");  // text from the PC
    const struct {
        const char* switches;
        int code;
        const char* result;  // on the page
    } steps[] = {
        {"/install /report=C:\\r.html", 0, "PASS</span>. 9 of 9"},
        {"/verify /report=C:\\r.html", 0, "PASS</span>. 9 of 9"},
        {"/remove /report=C:\\r.html", 0, "PASS</span>. 9 of 9"},
        {"/verify /report=C:\\r.html", 5, "FAIL</span>. 0 of 9"},
        {"/install /report=C:\\no\\r.html", 1, nullptr},  // a folder that is not there: no report, no success
        {"/status /report=C:\\r.html", 87, nullptr},
    };
    MemoryPlatform platform;
    LayHost(platform);
    for (const auto& step : steps) {
        platform.RemoveFile("C:\\r.html");
        Silent log;
        EXPECT_EQ(RunWith(platform, step.switches, log), step.code) << step.switches;
        ASSERT_EQ(platform.HasFile("C:\\r.html"), step.result != nullptr) << step.switches;
        if (!step.result) continue;
        const std::string html = platform.FileBytes("C:\\r.html");
        EXPECT_NE(html.find(step.result), std::string::npos) << step.switches;
        EXPECT_NE(log.text.find("report written: C:\\r.html (" + DecimalText(html.size()) + " bytes, sha256 " +
                                Sha256::Of(html) + ")"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace orv::test
