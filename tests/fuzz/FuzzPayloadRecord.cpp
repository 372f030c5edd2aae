// A record of any bytes either loads within its bounds or is refused; it is never read past its end.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Exceptions.h"
#include "PayloadItem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> record(data, data + size);  // exactly sized, so a sanitizer sees overreads
    if (record.empty()) return 0;  // no record at all is the empty item
    try {
        const orv::PayloadItem item = orv::PayloadItem::FromRecord("deFuzz", record.data(), record.size());
        if (item.Size() + 4 > record.size()) std::abort();
        if (item.Size() > 0 && std::memcmp(item.Data(), record.data() + 4, item.Size()) != 0) std::abort();
        const std::string content(reinterpret_cast<const char*>(item.Data()), item.Size());
        const std::string again = orv::ProducePayloadRecord(content);
        if (!content.empty() && std::memcmp(again.data(), record.data(), again.size()) != 0) std::abort();
    } catch (const orv::EPayloadError& e) {
        if (e.Message().find("deFuzz") == std::string::npos) std::abort();
    }
    return 0;
}
