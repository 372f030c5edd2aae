// For install, repair, upgrade and remove on several host trees, the k-th platform call fails with each
// error the platform can give there, for every k of the run. Afterwards every file is either as it was
// before or as a run without faults leaves it (never truncated, never mixed), nothing outside the host
// tree changes but the instrument files the profile names, and a run that exits with success has done
// everything a run without faults does.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Fakes.h"
#include "LineList.h"
#include "Unattended.h"

namespace orv::test {
namespace {

const std::string Customer = "MACRO \"CUSTOM.MAC\",GO\r\n\r\nMACRO \"LIMS.MAC\",GO\r\n";

const struct Scenario {
    const char* name;
    const char* switches;
    void (*lay)(MemoryPlatform&);
} Scenarios[] = {
    {"fresh install", "/install /quiet",
     [](MemoryPlatform& p) {
         LayHost(p);
         p.AddFile(Root + "\\core\\user.mac", Customer);
     }},
    {"repair", "/install /quiet",
     [](MemoryPlatform& p) {
         LayHost(p);
         p.AddFile(Root + "\\OV\\OV.MCX", "half");
         p.AddFile(Root + "\\core\\user.mac", StartLine + "\r\n" + Customer);
     }},
    {"upgrade", "/install /quiet",
     [](MemoryPlatform& p) {
         LayHost(p);
         LayInstalled(p, "A.03.01");
         p.AddFile(Root + "\\core\\user.mac", "MACRO \"..\\OV\\OV301.MCX\",GO\r\n" + Customer);
     }},
    {"remove with backups", "/remove /quiet",
     [](MemoryPlatform& p) {
         LayInstrumentedHost(p, "D:\\INSTR\\", false);
         LayInstalled(p);
         p.AddFile(Root + "\\core\\800\\CHROMTB.BAK", "chrom default");
         p.AddFile(Root + "\\core\\user.mac", StartLine + "\r\n" + Customer);
     }},
    {"remove of a partial install", "/remove /quiet",
     [](MemoryPlatform& p) {
         LayInstrumentedHost(p, "D:\\INSTR\\", false);
         p.AddFile(Root + "\\OV\\OVENV.EXE", "exe");
         p.AddFile(Root + "\\OV\\TASKBOVN.BMP", "bmp");
     }},
};

// The operations that can fail; the queries and profile reads never do.
const std::set<std::string> Failable = {"WriteWholeFile", "ReadWholeFile", "CreateFolder",       "CopyOver",
                                        "RemoveFile",     "WriteProfileEntry", "RemoveProfileEntry"};
const unsigned long Codes[] = {112, 5, 32, 3};

struct Outcome {
    Tree tree;
    int code;
    std::vector<std::string> operations;
};

Outcome RunScenario(const Scenario& scenario, std::size_t failAt, unsigned long failWith) {
    MemoryPlatform platform;
    scenario.lay(platform);
    SmallPayload(platform);
    Outcome outcome;
    platform.faultHook = [&](const char* operation, const std::string&) {
        outcome.operations.push_back(operation);
        return outcome.operations.size() == failAt ? failWith : 0ul;
    };
    NullSink out, log;
    const Options options = ParseOptions(SplitCommandLine(std::string("OrvandelSetup.exe ") + scenario.switches));
    outcome.code = RunUnattended(platform, options, RunFacts{}, out, log, nullptr);
    platform.faultHook = nullptr;
    outcome.tree = Snapshot(platform);
    return outcome;
}

TEST(FaultInjection, EveryCallOfEveryScenario) {
    std::size_t runs = 0;
    for (const Scenario& scenario : Scenarios) {
        MemoryPlatform original;
        scenario.lay(original);
        const Tree before = Snapshot(original);
        const Outcome clean = RunScenario(scenario, 0, 0);
        ASSERT_EQ(clean.code, ExitSuccess) << scenario.name;

        std::set<std::string> paths;
        for (const auto& [path, bytes] : before) paths.insert(path);
        for (const auto& [path, bytes] : clean.tree) paths.insert(path);
        const std::string rootKey = UpperCaseAscii(Root) + "\\";

        for (std::size_t k = 1; k <= clean.operations.size(); ++k) {
            if (!Failable.count(clean.operations[k - 1])) continue;
            for (const unsigned long code : Codes) {
                ++runs;
                const Outcome faulty = RunScenario(scenario, k, code);
                const std::string where = std::string(scenario.name) + ", call " + std::to_string(k) + " (" +
                                          clean.operations[k - 1] + ") fails with " + std::to_string(code);
                std::set<std::string> all = paths;
                for (const auto& [path, bytes] : faulty.tree) all.insert(path);
                for (const std::string& path : all) {
                    const auto now = faulty.tree.find(path);
                    const auto old = before.find(path);
                    const auto fresh = clean.tree.find(path);
                    const bool asBefore = (now == faulty.tree.end()) == (old == before.end()) &&
                                          (now == faulty.tree.end() || now->second == old->second);
                    const bool asClean = (now == faulty.tree.end()) == (fresh == clean.tree.end()) &&
                                         (now == faulty.tree.end() || now->second == fresh->second);
                    EXPECT_TRUE(asBefore || asClean) << where << ": " << path << " is neither old nor new";
                    if (path.rfind(rootKey, 0) != 0 && path.rfind("D:\\INSTR\\", 0) != 0) {
                        EXPECT_TRUE(asBefore) << where << ": " << path << " outside the host tree changed";
                    }
                }
                EXPECT_NE(faulty.code, ExitHostRunning) << where;
                if (faulty.code == ExitSuccess) {
                    EXPECT_EQ(faulty.tree, clean.tree) << where << ": success, but not done";
                }
            }
        }
    }
    std::printf("fault injection: %zu runs, every invariant checked\n", runs);
    EXPECT_GT(runs, 100u);
}

}  // namespace
}  // namespace orv::test
