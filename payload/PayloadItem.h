#pragma once
// One add-on file carried inside the program. Its stored record is a 32-bit little-endian count N followed
// by the N bytes; the item points into the loaded program image and never copies or changes the content.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform.h"

namespace orv {

struct PayloadEntry {
    const char* name;    // the item's (and its resource's) name, "deOvMcx"
    const char* target;  // under the host root, "\OV\OV.MCX"
    std::uint32_t size;  // the catalogue's size in bytes
};

// The seven items in the order they are created and written.
extern const PayloadEntry PayloadCatalogue[7];

class PayloadItem {
public:
    PayloadItem() = default;
    // Reads a stored record in place. A count that is negative or larger than the bytes that follow
    // raises EPayloadError naming the item. An empty item has no record: pass a null record.
    static PayloadItem FromRecord(const char* name, const unsigned char* record, std::size_t recordSize);

    const std::string& Name() const { return name_; }
    const unsigned char* Data() const { return data_; }
    std::size_t Size() const { return size_; }

    // Writes the whole content to the file in one write, replacing it in one step; throws on any problem.
    WriteMode WriteToFile(Platform& platform, const std::string& path) const;

private:
    std::string name_;
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The build side: the record that stores this content (empty content has no record: an empty result).
std::string ProducePayloadRecord(const std::string& content);

// The seven items from the program's resources, in catalogue order. A missing resource is an empty item.
std::vector<PayloadItem> LoadPayload(Platform& platform);

}  // namespace orv
