// What the in-memory platform adds to the contract cases: path resolution, a filling disk, faults on demand.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "MemoryPlatform.h"

namespace orv {
namespace {

TEST(MemoryPlatform, ResolvesPathsAsWindowsDoes) {
    MemoryPlatform p;
    p.SetCurrentFolder("D:\\Work\\Sub");
    p.AddFile("D:\\core\\user.mac", "x");
    const struct {
        const char* path;
        bool present;
    } cases[] = {
        {"\\core\\user.mac", true},          // root of the current drive
        {"\\CORE\\USER.MAC", true},          // letter case does not count
        {"..\\..\\core\\user.mac", true},    // relative to the current folder
        {"D:\\core\\\\user.mac", true},      // doubled backslash
        {"D:/core/user.mac", true},
        {"C:\\core\\user.mac", false},
        {"D:\\core\\user.mac\\", false},
        {"D:\\co?re\\user.mac", false},
    };
    for (const auto& c : cases) EXPECT_EQ(p.FileIsPresent(c.path), c.present) << c.path;
    EXPECT_EQ(p.FullPath("x.txt"), "D:\\Work\\Sub\\x.txt");
    EXPECT_EQ(p.FullPath("\\a\\.\\b\\..\\c"), "D:\\a\\c");
}

TEST(MemoryPlatform, DiskFullLeavesTheOldFile) {
    MemoryPlatform p;
    p.AddFile("C:\\a.txt", "old");
    p.SetFreeSpace(4);
    EXPECT_THROW(p.WriteWholeFile("C:\\a.txt", "12345", 5), EWriteError);
    EXPECT_EQ(p.FileBytes("C:\\a.txt"), "old");
    EXPECT_THROW(p.WriteWholeFile("C:\\b.txt", "12345", 5), EWriteError);
    EXPECT_FALSE(p.HasFile("C:\\b.txt"));
    p.WriteWholeFile("C:\\a.txt", "1234", 4);
    EXPECT_EQ(p.FileBytes("C:\\a.txt"), "1234");
}

TEST(MemoryPlatform, FaultHookFailsTheChosenCall) {
    MemoryPlatform p;
    p.faultHook = [](const char* op, const std::string&) { return std::string(op) == "CreateFolder" ? 5ul : 0ul; };
    try {
        p.CreateFolder("C:\\X");
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "File access denied");
    }
    EXPECT_FALSE(p.HasFolder("C:\\X"));
    EXPECT_EQ(p.OperationCount(), 1u);
}

TEST(MemoryPlatform, BareProfileNamesLiveInTheWindowsFolder) {
    MemoryPlatform p;
    ASSERT_TRUE(p.WriteProfileEntry("win.ini", "PCS", "Path", "C:\\HPCHEM"));
    EXPECT_EQ(p.FileBytes("C:\\WINDOWS\\WIN.INI"), "[PCS]\r\nPath=C:\\HPCHEM\r\n");
    EXPECT_EQ(p.ReadProfileEntry("C:\\windows\\win.ini", "pcs", "path", ""), "C:\\HPCHEM");
}

}  // namespace
}  // namespace orv
