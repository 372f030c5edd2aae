// The build's payload tool: makes stand-ins for the add-on's files and turns each file into its item's stored
// record. Every size comes from the program's own catalogue, so a file that does not match stops the build.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "PayloadItem.h"
#include "PeImage.h"
#include "StandIns.h"

namespace {

const char* const usage =
    "usage: payload_tool record ITEM INPUT OUTPUT   the item's record of INPUT, which must have the item's size\n"
    "       payload_tool macro ITEM OUTPUT          a macro package stand-in of the item's size\n"
    "       payload_tool ne ITEM MODULE OUTPUT      a 16-bit library stand-in named MODULE\n"
    "       payload_tool pad ITEM INPUT OUTPUT      INPUT followed by filler up to the item's size\n"
    "       payload_tool seal PROGRAM               makes the program's resource section read-only\n";

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
    } else if (command == "seal") {
        args(1);
        std::string image = ReadFile(argv[2]);
        try {
            orv::tool::MakeResourcesReadOnly(image);
        } catch (const std::runtime_error& e) {
            throw Failure(std::string(argv[2]) + ": " + e.what());
        }
        WriteFile(argv[2], image);
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
