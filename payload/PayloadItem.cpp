#include "PayloadItem.h"

#include "Exceptions.h"
#include "JoinedText.h"

namespace orv {

const PayloadEntry PayloadCatalogue[7] = {
    {"deOvMcx", "\\OV\\OV.MCX", 391479},
    {"deOrvand16Dll", "\\OV\\ORVAND16.DLL", 83456},
    {"deOrvand32Dll", "\\OV\\ORVAND32.DLL", 86086},
    {"deOvEnvExe", "\\OV\\OVENV.EXE", 41472},
    {"dePdfPreVbs", "\\OV\\SCRIPTS\\PDF\\PDFPRE.VBS", 796},
    {"dePdfPostVbs", "\\OV\\SCRIPTS\\PDF\\PDFPOST.VBS", 640},
    {"dePdfNotesTxt", "\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT", 692},
};

namespace {

std::string Damaged(const char* item, const char* why) {
    return Joined({"The installer is damaged: payload item ", item, why});
}

}  // namespace

PayloadItem PayloadItem::FromRecord(const char* name, const unsigned char* record, std::size_t recordSize) {
    PayloadItem item;
    item.name_ = name;
    if (record == nullptr) return item;
    if (recordSize < 4) throw EPayloadError(Damaged(name, " is truncated"));
    const std::uint32_t raw = std::uint32_t(record[0]) | std::uint32_t(record[1]) << 8 |
                              std::uint32_t(record[2]) << 16 | std::uint32_t(record[3]) << 24;
    if (raw > 0x7FFFFFFFu || raw > recordSize - 4)
        throw EPayloadError(Damaged(name, " has a wrong length"));
    item.data_ = record + 4;
    item.size_ = raw;
    return item;
}

WriteMode PayloadItem::WriteToFile(Platform& platform, const std::string& path) const {
    return platform.WriteWholeFile(path, reinterpret_cast<const char*>(data_), size_);
}

std::string ProducePayloadRecord(const std::string& content) {
    if (content.empty()) return {};
    const std::uint32_t n = static_cast<std::uint32_t>(content.size());
    std::string record;
    record.reserve(content.size() + 4);
    for (int shift = 0; shift < 32; shift += 8) record += static_cast<char>((n >> shift) & 0xFF);
    record += content;
    return record;
}

std::vector<PayloadItem> LoadPayload(Platform& platform) {
    std::vector<PayloadItem> items;
    items.reserve(7);
    for (const PayloadEntry& entry : PayloadCatalogue) {
        const ImageBytes bytes = platform.ProgramResource(entry.name);
        // Without its resource an item would be empty, and installing would write files of 0 bytes.
        if (!bytes.found || bytes.data == nullptr)
            throw EPayloadError(Damaged(entry.name, " is missing"));
        items.push_back(PayloadItem::FromRecord(entry.name, bytes.data, bytes.size));
    }
    return items;
}

}  // namespace orv
