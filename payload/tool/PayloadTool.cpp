// The build's payload tool: makes stand-ins for the add-on's files and turns each file into its item's stored
// record. Every size comes from the program's own catalogue, so a file that does not match stops the build.
// It also seals the linked program and, for the release notes, describes the items a program carries.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FrameTable.h"
#include "PayloadItem.h"
#include "PeImage.h"
#include "StandIns.h"
#include "VersionReport.h"

namespace {

const char* const usage =
    "usage: payload_tool record ITEM INPUT OUTPUT   the item's record of INPUT, which must have the item's size\n"
    "       payload_tool macro ITEM OUTPUT          a macro package stand-in of the item's size\n"
    "       payload_tool ne ITEM MODULE OUTPUT      a 16-bit library stand-in named MODULE\n"
    "       payload_tool pad ITEM INPUT OUTPUT      INPUT followed by filler up to the item's size\n"
    "       payload_tool seal PROGRAM EPOCH-FILE    makes the program's resource section read-only and gives\n"
    "                                               it the time stamp in EPOCH-FILE (seconds since 1970)\n"
    "       payload_tool compact-frames PROGRAM [rows-only]\n"
    "                                               writes the compact unwind table of a linked 32-bit program\n"
    "                                               in place of its .eh_frame records; rows-only for a program\n"
    "                                               whose unwinder reads no DWARF records\n"
    "       payload_tool describe PROGRAM COMMIT    the lines of /version for the items inside PROGRAM\n";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const orv::PayloadEntry& Entry(const std::string& item) {
    for (const orv::PayloadEntry& entry : orv::PayloadCatalogue)
        if (item == entry.name) return entry;
    throw Failure("no payload item is named " + item);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A failed write leaves no output behind, so the next build does not take it for up to date.
void WriteFile(const std::string& path, const std::string& bytes) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (out && out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush()) return;
    }
    std::remove(path.c_str());
    throw Failure("cannot write " + path);
}

void RequireSize(const orv::PayloadEntry& entry, const std::string& path, std::size_t actual) {
    if (actual == entry.size) return;
    throw Failure(path + " is " + std::to_string(actual) + " bytes, but payload item " + entry.name + " (" +
                  entry.target + ") must be exactly " + std::to_string(entry.size) + " bytes");
}

// SOURCE_DATE_EPOCH as a file holds it: decimal seconds, perhaps a line end after them.
std::uint32_t EpochOf(const std::string& text, const std::string& path) {
    std::uint64_t value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && value <= 0xFFFFFFFFu)
        value = value * 10 + static_cast<unsigned>(text[digits++] - '0');
    if (digits == 0 || value > 0xFFFFFFFFu || text.find_first_not_of("\r\n", digits) != std::string::npos)
        throw Failure(path + " does not hold a time stamp in seconds since 1970");
    return static_cast<std::uint32_t>(value);
}

void Run(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const auto args = [&](int count) {
        if (argc != count + 2) throw Failure(std::string("wrong arguments\n") + usage);
    };
    if (command == "record") {
        args(3);
        const orv::PayloadEntry& entry = Entry(argv[2]);
        const std::string content = ReadFile(argv[3]);
        RequireSize(entry, argv[3], content.size());
        WriteFile(argv[4], orv::ProducePayloadRecord(content));
    } else if (command == "macro") {
        args(2);
        WriteFile(argv[3], orv::tool::MakeMacroPackage(Entry(argv[2]).size));
    } else if (command == "ne") {
        args(3);
        WriteFile(argv[4], orv::tool::MakeNeLibrary(argv[3], Entry(argv[2]).size));
    } else if (command == "pad") {
        args(3);
        const orv::PayloadEntry& entry = Entry(argv[2]);
        std::string bytes = ReadFile(argv[3]);
        if (bytes.size() > entry.size)
            throw Failure(std::string(argv[3]) + " is " + std::to_string(bytes.size()) + " bytes, more than the " +
                          std::to_string(entry.size) + " of payload item " + entry.name);
        orv::tool::FillerStream(entry.size).Append(bytes, entry.size - bytes.size());
        WriteFile(argv[4], bytes);
    } else if (command == "compact-frames") {
        const bool rowsOnly = argc == 4 && std::string(argv[3]) == "rows-only";
        if (!rowsOnly) args(1);
        std::string image = ReadFile(argv[2]);
        try {
            std::cout << argv[2] << ": " << orv::tool::CompactFrameTable(image, rowsOnly) << '\n';
        } catch (const std::runtime_error& e) {
            throw Failure(std::string(argv[2]) + ": " + e.what());
        }
        WriteFile(argv[2], image);
    } else if (command == "seal") {
        args(2);
        std::string image = ReadFile(argv[2]);
        const std::uint32_t epoch = EpochOf(ReadFile(argv[3]), argv[3]);
        try {
            orv::tool::Seal(image, epoch);
        } catch (const std::runtime_error& e) {
            throw Failure(std::string(argv[2]) + ": " + e.what());
        }
        WriteFile(argv[2], image);
    } else if (command == "describe") {
        args(2);
        const std::string image = ReadFile(argv[2]);
        std::vector<orv::PayloadItem> items;
        try {
            for (const orv::PayloadEntry& entry : orv::PayloadCatalogue) {
                std::string_view record;
                const bool found = orv::tool::FindDataResource(image, entry.name, record);
                items.push_back(orv::PayloadItem::FromRecord(
                    entry.name, found ? reinterpret_cast<const unsigned char*>(record.data()) : nullptr, record.size()));
            }
        } catch (const std::runtime_error& e) {
            throw Failure(std::string(argv[2]) + ": " + e.what());
        }
        std::cout << orv::VersionText(argv[3], items) << '\n';
    } else {
        throw Failure(usage);
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Run(argc, argv);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "payload_tool: " << e.what() << '\n';
        return 1;
    }
}
