#pragma once
// The fixture every contract table uses. A case names the worlds that cannot stage it and why; it is then
// reported as skipped there with that reason, never left out.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

#include "World.h"

namespace orv::contract {

// What a case finds under a name before it starts.
enum class Entry { None, File, Folder };

// Why a case cannot run on a world; null where it runs.
struct Skip {
    const char* onMemory = nullptr;
    const char* onWindows = nullptr;
};

template <typename Case>
class ContractTest : public testing::TestWithParam<std::tuple<WorldKind, Case>> {
public:
    using CaseType = Case;

protected:
    void SetUp() override {
        const WorldKind& kind = std::get<0>(this->GetParam());
        const Skip& skip = Param().skip;
        const char* reason = kind.isWindows ? skip.onWindows : skip.onMemory;
        if (reason != nullptr) GTEST_SKIP() << reason;
        world_ = kind.make();
    }

public:  // for the checks that several tables share
    const Case& Param() const { return std::get<1>(this->GetParam()); }
    World& Here() { return *world_; }
    Platform& Subject() { return world_->Subject(); }
    // A name inside the scratch folder: "a.txt", "Sub\\a.txt".
    std::string In(const std::string& name) const { return world_->Scratch() + "\\" + name; }

private:
    std::unique_ptr<World> world_;
};

// A failing case names its world and its row, not their bytes.
inline void PrintTo(const WorldKind& kind, std::ostream* out) { *out << (kind.isWindows ? "Windows" : "Memory"); }
template <typename Case>
    requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

template <typename Case>
std::string CaseName(const testing::TestParamInfo<std::tuple<WorldKind, Case>>& info) {
    return std::get<1>(info.param).name;
}

}  // namespace orv::contract

// Runs a table on each world this program was built with; the world's name is the test name's prefix.
#ifdef ORV_CONTRACT_MEMORY
#define ORV_CONTRACT_ON_MEMORY(Fixture, table)                                                                 \
    INSTANTIATE_TEST_SUITE_P(Memory, Fixture,                                                                  \
                             testing::Combine(testing::Values(::orv::contract::MemoryWorldKind),               \
                                              testing::ValuesIn(table)),                                      \
                             ::orv::contract::CaseName<Fixture::CaseType>);
#else
#define ORV_CONTRACT_ON_MEMORY(Fixture, table)
#endif
#ifdef ORV_CONTRACT_WINDOWS
#define ORV_CONTRACT_ON_WINDOWS(Fixture, table)                                                                \
    INSTANTIATE_TEST_SUITE_P(Windows, Fixture,                                                                 \
                             testing::Combine(testing::Values(::orv::contract::WindowsWorldKind),              \
                                              testing::ValuesIn(table)),                                      \
                             ::orv::contract::CaseName<Fixture::CaseType>);
#else
#define ORV_CONTRACT_ON_WINDOWS(Fixture, table)
#endif
#define ORV_CONTRACT_TABLE(Fixture, table) ORV_CONTRACT_ON_MEMORY(Fixture, table) ORV_CONTRACT_ON_WINDOWS(Fixture, table)
