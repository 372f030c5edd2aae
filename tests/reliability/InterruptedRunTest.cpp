// A run that dies (killed, power lost) between any two platform calls, followed by a new run of the same
// action, must end exactly where one run without interruption ends. The kills under Wine hit a few
// moments at random; here every moment between two calls is tried.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Fakes.h"
#include "LineList.h"
#include "Unattended.h"

namespace orv::test {
namespace {

// Not an std::exception: nothing in the program catches it, as nothing runs after a kill.
struct Killed {};

const std::string Customer = "MACRO \"SITE.MAC\",GO\r\nPRINT \"Welcome\"\r\n";

const struct Scenario {
    const char* name;
    const char* switches;
    void (*lay)(MemoryPlatform&);
} Scenarios[] = {
    {"first install", "/install /quiet",
     [](MemoryPlatform& p) {
         LayHost(p);
         p.AddFile(Root + "\\core\\user.mac", Customer);
     }},
    {"upgrade", "/install /quiet",
     [](MemoryPlatform& p) {
         LayHost(p);
         LayInstalled(p, "A.03.01");
         p.AddFile(Root + "\\core\\user.mac", "macro \"..\\ov\\ov.mcx\",go\r\n" + Customer);
     }},
    {"remove with both backups", "/remove /quiet",
     [](MemoryPlatform& p) {
         LayInstrumentedHost(p, Root + "\\", true);
         LayInstalled(p);
         p.AddFile(Root + "\\core\\user.mac", StartLine + "\r\n" + Customer);
     }},
    {"remove with one backup", "/remove /quiet",
     [](MemoryPlatform& p) {
         LayInstrumentedHost(p, Root + "\\", false);
         LayInstalled(p);
         p.AddFile(Root + "\\OV\\TASKBOVU.BMP", "bitmap");
     }},
};

struct Outcome {
    Tree tree;
    int code = -1;
    std::vector<std::string> calls;
    bool killed = false;
};

// The flush of a profile runs in a destructor, where the stand-in for a kill cannot be thrown; a kill
// just before it is the same as one just before the next call.
bool CanDieBefore(const std::string& operation) { return operation != "FlushProfile"; }

// Runs the action on the platform as it is; with killAt > 0 the run dies just before that call.
Outcome RunAction(MemoryPlatform& platform, const char* switches, std::size_t killAt) {
    Outcome outcome;
    platform.faultHook = [&](const char* operation, const std::string&) -> unsigned long {
        outcome.calls.push_back(operation);
        // Once dead, the destructors that run while the stack unwinds must not throw again.
        if (!outcome.killed && outcome.calls.size() == killAt) {
            outcome.killed = true;
            throw Killed{};
        }
        return 0;
    };
    NullSink out, log;
    const Options options = ParseOptions(SplitCommandLine(std::string("OrvandelSetup.exe ") + switches));
    try {
        outcome.code = RunUnattended(platform, options, RunFacts{}, out, log, nullptr);
    } catch (const Killed&) {
    }
    platform.faultHook = nullptr;
    outcome.tree = Snapshot(platform);
    return outcome;
}

TEST(InterruptedRun, TheNextRunFinishesTheWork) {
    std::size_t kills = 0;
    for (const Scenario& scenario : Scenarios) {
        MemoryPlatform reference;
        scenario.lay(reference);
        SmallPayload(reference);
        const Outcome clean = RunAction(reference, scenario.switches, 0);
        ASSERT_EQ(clean.code, ExitSuccess) << scenario.name;

        for (std::size_t k = 1; k <= clean.calls.size(); ++k) {
            if (!CanDieBefore(clean.calls[k - 1])) continue;
            MemoryPlatform platform;
            scenario.lay(platform);
            SmallPayload(platform);
            const Outcome first = RunAction(platform, scenario.switches, k);
            ASSERT_TRUE(first.killed) << scenario.name << ", call " << k;
            ++kills;
            const Outcome next = RunAction(platform, scenario.switches, 0);
            const std::string where = std::string(scenario.name) + ", killed before call " + std::to_string(k);
            EXPECT_EQ(next.code, ExitSuccess) << where;
            for (const auto& [path, bytes] : clean.tree) {
                const auto now = next.tree.find(path);
                if (now == next.tree.end()) ADD_FAILURE() << where << ": " << path << " is missing";
                else EXPECT_EQ(now->second, bytes) << where << ": " << path;
            }
            for (const auto& [path, bytes] : next.tree) {
                EXPECT_TRUE(clean.tree.count(path)) << where << ": " << path << " is left over";
            }
        }
    }
    std::printf("interrupted runs: %zu kills, each followed by a run that finished the work\n", kills);
    EXPECT_GT(kills, 100u);
}

}  // namespace
}  // namespace orv::test
