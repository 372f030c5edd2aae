// Loads the payload from a built Windows image, as the installer does (this program links the same
// resources), and compares each item with the file it was made from, named on the command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "PayloadItem.h"
#include "WindowsPlatform.h"

namespace orv {
namespace {

std::vector<std::string> sourceFiles;  // the seven files in catalogue order, as Windows paths

struct Expected {
    const char* name;
    std::size_t size;
};
// The sizes the add-on's maker gives for its files.
const Expected expected[7] = {
    {"deOvMcx", 391479}, {"deOrvand16Dll", 83456}, {"deOrvand32Dll", 86086}, {"deOvEnvExe", 41472},
    {"dePdfPreVbs", 796}, {"dePdfPostVbs", 640}, {"dePdfNotesTxt", 692},
};

std::string ReadFile(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[65536];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

TEST(PayloadResources, EachItemHasItsSizeAndTheBytesOfItsFile) {
    ASSERT_EQ(sourceFiles.size(), 7u) << "give the seven payload files on the command line";
    WindowsPlatform platform;
    const std::vector<PayloadItem> items = LoadPayload(platform);
    ASSERT_EQ(items.size(), 7u);
    std::size_t total = 0;
    for (int i = 0; i < 7; ++i) {
        const PayloadItem& item = items[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(item.Name(), expected[i].name);
        EXPECT_EQ(platform.ProgramResource(expected[i].name).size, expected[i].size + 4);
        ASSERT_EQ(item.Size(), expected[i].size);
        total += item.Size();
        const std::string file = ReadFile(sourceFiles[i]);
        ASSERT_EQ(file.size(), item.Size()) << sourceFiles[i];
        EXPECT_EQ(std::memcmp(file.data(), item.Data(), file.size()), 0) << "content differs from " << sourceFiles[i];
    }
    EXPECT_EQ(total, 604621u);
}

TEST(PayloadResources, ItemsAreReadOnly) {
    WindowsPlatform platform;
    for (const PayloadItem& item : LoadPayload(platform)) {
        SCOPED_TRACE(item.Name());
        MEMORY_BASIC_INFORMATION info;
        ASSERT_NE(VirtualQuery(item.Data(), &info, sizeof info), 0u);
        EXPECT_EQ(info.Protect & 0xFF, static_cast<DWORD>(PAGE_READONLY));
    }
}

}  // namespace
}  // namespace orv

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) orv::sourceFiles.push_back(argv[i]);
    return RUN_ALL_TESTS();
}
