#include <gtest/gtest.h>

#include <string>

#include "Exceptions.h"
#include "MemoryPlatform.h"
#include "PayloadItem.h"

namespace orv {
namespace {

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::string Content(const PayloadItem& item) {
    return std::string(reinterpret_cast<const char*>(item.Data()), item.Size());
}

std::string AllByteValues() {
    std::string s;
    for (int i = 0; i < 512; ++i) s += static_cast<char>(i & 0xFF);
    return s;
}

TEST(PayloadRecord, RoundTripKeepsEveryByte) {
    const struct {
        const char* title;
        std::string content;
    } cases[] = {
        {"empty content", ""},
        {"one NUL byte", std::string(1, '\0')},
        {"every byte value", AllByteValues()},
        {"CR LF text", "Option Explicit\r\nDim sh\r\n"},
        // 0x030201 bytes: a count whose three low bytes differ shows their order.
        {"count in three bytes", std::string(0x030201, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string record = ProducePayloadRecord(c.content);
        const PayloadItem item =
            PayloadItem::FromRecord("deOvMcx", record.empty() ? nullptr : Bytes(record), record.size());
        EXPECT_EQ(item.Name(), "deOvMcx");
        EXPECT_EQ(Content(item), c.content);
        if (c.content.empty()) {
            EXPECT_TRUE(record.empty());  // an empty item has no record at all
            continue;
        }
        ASSERT_EQ(record.size(), c.content.size() + 4);
        const std::size_t n = c.content.size();
        EXPECT_EQ(record.substr(0, 4), std::string({char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF),
                                                    char(n >> 24 & 0xFF)}));
        EXPECT_EQ(item.Data(), Bytes(record) + 4);  // the content is read in place, not copied
    }
}

TEST(PayloadRecord, CountDecidesTheContent) {
    const struct {
        const char* title;
        std::string record;
        std::string content;
    } cases[] = {
        {"count of zero", std::string(4, '\0'), ""},
        {"count equal to the bytes that follow", std::string("\x03\0\0\0abc", 7), "abc"},
        {"bytes beyond the count are not content", std::string("\x02\0\0\0abc", 7), "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(Content(PayloadItem::FromRecord("dePdfPreVbs", Bytes(c.record), c.record.size())), c.content);
    }
}

TEST(PayloadRecord, DamagedRecordIsRefusedNamingTheItem) {
    const struct {
        const char* title;
        std::string record;
    } cases[] = {
        {"no bytes at all", ""},
        {"fewer than four bytes", std::string("\x01\0\0", 3)},
        {"count one larger than the bytes that follow", std::string("\x04\0\0\0abc", 7)},
        {"count far beyond the record", std::string("\0\0\x01\0abc", 7)},
        {"count with the top bit set", std::string("\x03\0\0\x80" "abc", 7)},
        {"count of minus one", std::string("\xFF\xFF\xFF\xFF" "abc", 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        try {
            PayloadItem::FromRecord("deOrvand16Dll", Bytes(c.record), c.record.size());
            ADD_FAILURE() << "the record was accepted";
        } catch (const EPayloadError& e) {
            EXPECT_NE(e.Message().find("deOrvand16Dll"), std::string::npos) << e.Message();
        }
    }
}

TEST(LoadPayload, ReadsTheProgramResourcesInCatalogueOrder) {
    const struct {
        const char* title;
        const char* absent;   // an item without a resource, or null
        const char* damaged;  // an item whose record is cut short, or null
    } cases[] = {
        {"all seven present", nullptr, nullptr},
        {"a missing resource stops the loading: it would install a file of 0 bytes", "dePdfPostVbs", nullptr},
        {"a damaged record stops the loading", nullptr, "deOrvand32Dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        MemoryPlatform platform;
        for (const PayloadEntry& entry : PayloadCatalogue) {
            const std::string name = entry.name;
            if (c.absent != nullptr && name == c.absent) continue;
            std::string record = ProducePayloadRecord("content of " + name);
            if (c.damaged != nullptr && name == c.damaged) record.pop_back();
            platform.AddResource(name, record);
        }
        if (const char* refused = c.damaged != nullptr ? c.damaged : c.absent) {
            try {
                LoadPayload(platform);
                ADD_FAILURE() << "the payload was accepted without " << refused;
            } catch (const EPayloadError& e) {
                EXPECT_NE(e.Message().find(refused), std::string::npos) << e.Message();
            }
            continue;
        }
        const std::vector<PayloadItem> items = LoadPayload(platform);
        ASSERT_EQ(items.size(), 7u);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const std::string name = PayloadCatalogue[i].name;
            EXPECT_EQ(items[i].Name(), name);
            EXPECT_EQ(Content(items[i]), "content of " + name);
        }
    }
}

TEST(PayloadItemWriteToFile, LeavesExactlyTheItemsBytes) {
    const char* const path = "C:\\CHEM\\OV\\OV.MCX";
    const struct {
        const char* title;
        const char* existing;  // the file already at the target, or null
        std::string content;
    } cases[] = {
        {"over a longer file, whose tail goes", "0123456789ABCDEF-old-tail", "new"},
        {"over a shorter file", "x", "longer content"},
        {"into a new file", nullptr, std::string("\0binary\xFF", 8)},
        {"CR LF text, unconverted", nullptr, "line one\r\nline two\r\n"},
        {"empty item truncates an existing file", "old bytes", ""},
        {"empty item creates an empty file", nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        MemoryPlatform platform;
        platform.AddFolder("C:\\CHEM\\OV");
        if (c.existing != nullptr) platform.AddFile(path, c.existing);
        const std::string record = ProducePayloadRecord(c.content);
        const PayloadItem item =
            PayloadItem::FromRecord("deOvMcx", record.empty() ? nullptr : Bytes(record), record.size());
        item.WriteToFile(platform, path);
        ASSERT_TRUE(platform.HasFile(path));
        EXPECT_EQ(platform.FileBytes(path), c.content);
    }
}

TEST(PayloadItemWriteToFile, FailsWithoutTouchingWhatIsThere) {
    const std::string record = ProducePayloadRecord("new bytes");
    const PayloadItem item = PayloadItem::FromRecord("dePdfNotesTxt", Bytes(record), record.size());
    const struct {
        const char* title;
        bool readOnlyFile;  // else the target's folder is missing
    } cases[] = {
        {"folder missing: no folder is made", false},
        {"read-only target keeps its bytes", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        MemoryPlatform platform;
        const std::string path = "C:\\CHEM\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT";
        if (c.readOnlyFile) {
            platform.AddFile(path, "old");
            platform.SetReadOnly(path, true);
        }
        EXPECT_THROW(item.WriteToFile(platform, path), Exception);
        if (c.readOnlyFile) {
            EXPECT_EQ(platform.FileBytes(path), "old");
        } else {
            EXPECT_FALSE(platform.HasFolder("C:\\CHEM\\OV\\SCRIPTS\\PDF"));
        }
    }
}

}  // namespace
}  // namespace orv
