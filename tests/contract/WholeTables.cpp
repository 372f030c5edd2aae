// A table runs whole on a world or is skipped whole there: the test runner reports each table (on Windows)
// or each row (in memory) as passed, failed or skipped, and a row skipped inside a table that otherwise ran
// would show as passed. Such a table fails, naming the rows to move into a table of their own.
#include <gtest/gtest.h>

namespace orv::contract {
namespace {

class WholeTables final : public testing::EmptyTestEventListener {
    void OnTestSuiteEnd(const testing::TestSuite& suite) override {
        if (suite.skipped_test_count() == 0 || suite.skipped_test_count() == suite.test_to_run_count()) return;
        std::string rows;
        for (int i = 0; i < suite.total_test_count(); ++i) {
            const testing::TestInfo& info = *suite.GetTestInfo(i);
            if (info.result()->Skipped()) rows += std::string(" ") + info.name();
        }
        ADD_FAILURE() << suite.name() << " skips some rows and runs others; give these a table of their own:"
                      << rows;
    }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new WholeTables);
    return true;
}();

}  // namespace
}  // namespace orv::contract
