// A Windows 3.x library module laid out as its loader expects: an MS-DOS stub whose header points at the
// NE header, the NE tables in their usual order, then one fixed code and one data segment on 16-byte sectors.
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "StandIns.h"

namespace orv::tool {

namespace {

class Image {
public:
    std::size_t Here() const { return bytes_.size(); }
    void Byte(unsigned value) { bytes_ += static_cast<char>(value & 0xFF); }
    void Word(unsigned value) {
        Byte(value);
        Byte(value >> 8);
    }
    void Bytes(std::initializer_list<unsigned> values) {
        for (unsigned v : values) Byte(v);
    }
    void Text(const std::string& text) { bytes_ += text; }
    // A name table entry: length, characters, ordinal.
    void Name(const std::string& name, unsigned ordinal) {
        Byte(static_cast<unsigned>(name.size()));
        Text(name);
        Word(ordinal);
    }
    void AlignTo(std::size_t unit) {
        while (bytes_.size() % unit != 0) Byte(0);
    }
    void PatchWord(std::size_t at, std::size_t value) {
        bytes_[at] = static_cast<char>(value & 0xFF);
        bytes_[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    std::string& Result() { return bytes_; }

private:
    std::string bytes_;
};

constexpr std::size_t neOffset = 0x80;
constexpr unsigned sectorShift = 4;

// Header fields patched once the tables behind them are placed (offsets inside the NE header).
enum NeField : std::size_t {
    EntryTable = 0x04, EntryLength = 0x06, SegmentTable = 0x22, ResourceTable = 0x24, ResidentNames = 0x26,
    ModuleRefs = 0x28, ImportedNames = 0x2A, NonResidentNames = 0x2C, NonResidentLength = 0x20,
};

enum NeFlags : unsigned {
    SingleData = 0x0001, ProtectedModeOnly = 0x0008, WindowsApi = 0x0300, LibraryModule = 0x8000,
};
enum SegmentFlags : unsigned { DataSegment = 0x0001, Pure = 0x0020, Preload = 0x0040 };

void DosStub(Image& image) {
    image.Bytes({'M', 'Z'});
    image.Word(neOffset % 512);  // bytes in the last page
    image.Word(1);               // pages
    image.Word(0);               // relocations
    image.Word(4);               // header paragraphs
    image.Word(0);
    image.Word(0xFFFF);
    image.Word(0);     // SS
    image.Word(0xB8);  // SP
    image.Word(0);     // checksum
    image.Word(0);     // IP
    image.Word(0);     // CS
    image.Word(0x40);  // relocation table: at 0x40 or beyond marks a new-style executable
    while (image.Here() < 0x3C) image.Byte(0);
    image.Word(neOffset);
    image.Word(0);
    // push cs / pop ds / mov dx,msg / mov ah,9 / int 21h / mov ax,4C01h / int 21h
    image.Bytes({0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09, 0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21});
    image.Text("This program requires Microsoft Windows.\r\n$");
    if (image.Here() > neOffset) throw std::logic_error("the DOS stub overruns the NE header");
    while (image.Here() < neOffset) image.Byte(0);
}

}  // namespace

std::string MakeNeLibrary(const std::string& moduleName, std::size_t size) {
    // LibMain: mov ax,1 / retf; WEP: mov ax,1 / retf 2; ORVVERSION: mov ax,0302h / retf.
    const std::vector<unsigned> code = {0xB8, 0x01, 0x00, 0xCB, 0xB8, 0x01, 0x00, 0xCA,
                                        0x02, 0x00, 0xB8, 0x02, 0x03, 0xCB};
    constexpr unsigned wepOffset = 4, versionOffset = 10;
    const std::string data = moduleName + " 16-bit library (build stand-in)";

    Image image;
    DosStub(image);
    const std::size_t ne = image.Here();
    image.Bytes({'N', 'E', 5, 10});
    image.Word(0);  // entry table
    image.Word(0);  // entry table length
    image.Word(0);
    image.Word(0);  // CRC
    image.Word(LibraryModule | WindowsApi | ProtectedModeOnly | SingleData);
    image.Word(2);       // automatic data segment
    image.Word(0x0400);  // local heap
    image.Word(0);       // stack: a library runs on its caller's
    image.Word(0);       // IP of LibMain
    image.Word(1);       // CS of LibMain
    image.Word(0);
    image.Word(0);  // SS:SP
    image.Word(2);  // segments
    image.Word(0);  // module references
    image.Word(0);  // non-resident names length
    for (int i = 0; i < 5; ++i) image.Word(0);  // table offsets, patched below
    image.Word(0);
    image.Word(0);            // non-resident names (from the file's start)
    image.Word(0);            // movable entries
    image.Word(sectorShift);  // sector alignment
    image.Word(0);            // resource segments
    image.Byte(2);            // target: Windows
    image.Byte(0);
    image.Word(0);
    image.Word(0);       // fast-load area
    image.Word(0);       // code swap area
    image.Word(0x030A);  // expects Windows 3.10

    const std::size_t segmentTable = image.Here();
    image.PatchWord(ne + SegmentTable, segmentTable - ne);
    for (int i = 0; i < 2; ++i) image.Bytes({0, 0, 0, 0, 0, 0, 0, 0});  // patched once the segments are placed

    // No resources: the resource table is empty, starting where the resident names do.
    image.PatchWord(ne + ResourceTable, image.Here() - ne);
    image.PatchWord(ne + ResidentNames, image.Here() - ne);
    image.Name(moduleName, 0);
    image.Name("WEP", 1);
    image.Byte(0);

    image.PatchWord(ne + ModuleRefs, image.Here() - ne);  // none
    image.PatchWord(ne + ImportedNames, image.Here() - ne);
    image.Byte(0);

    const std::size_t entries = image.Here();
    image.PatchWord(ne + EntryTable, entries - ne);
    image.Bytes({2, 1});  // a bundle of two entries in fixed segment 1
    image.Byte(1);        // exported
    image.Word(wepOffset);
    image.Byte(1);
    image.Word(versionOffset);
    image.Byte(0);
    image.PatchWord(ne + EntryLength, image.Here() - entries);

    const std::size_t nonResident = image.Here();
    image.PatchWord(ne + NonResidentNames, nonResident);
    image.Name(moduleName + " - Orvandel 16-bit library", 0);
    image.Name("ORVVERSION", 2);
    image.Byte(0);
    image.PatchWord(ne + NonResidentLength, image.Here() - nonResident);

    const auto placeSegment = [&](int index, const std::string& bytes, unsigned flags) {
        image.AlignTo(std::size_t(1) << sectorShift);
        const std::size_t entry = segmentTable + 8 * static_cast<std::size_t>(index);
        image.PatchWord(entry, image.Here() >> sectorShift);
        image.PatchWord(entry + 2, bytes.size());
        image.PatchWord(entry + 4, flags);
        image.PatchWord(entry + 6, bytes.size());
        image.Text(bytes);
    };
    placeSegment(0, std::string(code.begin(), code.end()), Pure | Preload);
    placeSegment(1, data, DataSegment | Preload);

    std::string& bytes = image.Result();
    if (bytes.size() > size) throw std::length_error("the library module does not fit its size");
    FillerStream(0x4F563136).Append(bytes, size - bytes.size());  // "OV16"
    return bytes;
}

}  // namespace orv::tool
