// The add-on's profile edited three ways and read back through the system, key by key: random OV.INI texts made
// from a seed, each given to the system's own WritePrivateProfileStringA on a copy, to the in-memory rules and to
// the Windows platform. ORV_PROFILE_SEED and ORV_PROFILE_FILES choose another seed and count.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "IniText.h"
#include "LineList.h"
#include "ScratchTree.h"
#include "WindowsPlatform.h"

namespace orv::test {
namespace {

// Random profile texts: the awkward lines the system's reader has its own rules for, in every line ending,
// sometimes saved as UTF-16 or with a UTF-8 mark.
class ProfileMaker {
public:
    explicit ProfileMaker(unsigned seed) : random_(seed) {}

    std::string Text() {
        std::string text;
        const int lines = Pick(12);
        static const char* const endings[] = {"\r\n", "\n", "\r"};
        const int ending = Pick(4);  // one kind throughout, or a mixture
        for (int i = 0; i < lines; ++i) {
            text += Line();
            if (i + 1 < lines || Pick(5) != 0) text += endings[ending < 3 ? ending : Pick(3)];
        }
        switch (Pick(20)) {
            case 0: case 1: return Utf16(text, false);
            case 2: return Utf16(text, true);
            case 3: return "\xEF\xBB\xBF" + text;
            default: return text;
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string Of(std::initializer_list<const char*> choices) {
        return *(choices.begin() + Pick(static_cast<int>(choices.size())));
    }

private:
    std::string Blank() { return Pick(3) != 0 ? "" : Of({" ", "\t", "  ", " \t", "\x0B"}); }
    std::string Section() { return Of({"OV", "OV", "ov", "Ov", "X", "x", "O V", "Settings"}); }
    std::string Key() { return Of({"Version", "Version", "VERSION", "version", "Other", "k", "Ver sion"}); }
    std::string Value() {
        return Of({"A.03.01", "A.03.02", "7", "", "a b", "\"A.02\"", "'q'", "\"x'", "\"", "\"\"", " spaced ", "x=y",
                   "[v]", ";v"});
    }

    std::string Line() {
        switch (Pick(18)) {
            case 0: case 1: case 2:
                return Blank() + "[" + Blank() + Section() + Blank() + "]" +
                       (Pick(4) == 0 ? Of({" junk", "=1", "x]", " ;c", "]"}) : "") + Blank();
            case 3: return Blank() + "[" + Section() + Blank();  // never closed
            case 4: return Of({"[]", "[ ]", " [\t] "});
            case 5: return Blank() + Key() + Blank();  // no '='
            case 6: return Of({";", " ;"}) + Key() + "=" + Value();
            case 7: return Blank();
            case 8: return "=" + Value();
            default: return Blank() + Key() + Blank() + "=" + Blank() + Value() + Blank();
        }
    }

    static std::string Utf16(const std::string& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char c : text) {
            if (bigEndian) bytes += '\0';
            bytes += c;
            if (!bigEndian) bytes += '\0';
        }
        return bytes;
    }

    std::mt19937 random_;
};

using Reading = std::optional<std::string>;

// The system's reading of one key: its value, or nothing when it is missing (two defaults tell which).
Reading SystemRead(const std::string& file, const std::string& section, const std::string& key) {
    char value[2048];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "\x01", value, 2048, file.c_str());
    if (std::string(value, length) != "\x01") return std::string(value, length);
    length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "\x02", value, 2048, file.c_str());
    if (std::string(value, length) == "\x02") return std::nullopt;
    return std::string(value, length);
}

std::vector<std::string> Strings(const std::vector<char>& buffer, DWORD length) {
    std::vector<std::string> strings;
    for (DWORD at = 0; at < length;) {
        const std::string one(&buffer[at]);
        if (!one.empty()) strings.push_back(one);
        at += static_cast<DWORD>(one.size()) + 1;
    }
    return strings;
}

// Every section and key the system lists in the file.
void AddListed(const std::string& file, std::set<std::pair<std::string, std::string>>& pairs) {
    std::vector<char> buffer(1 << 16);
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD named = GetPrivateProfileSectionNamesA(buffer.data(), size, file.c_str());
    for (const std::string& section : Strings(buffer, named)) {
        std::vector<char> lines(1 << 16);
        for (const std::string& line :
             Strings(lines, GetPrivateProfileSectionA(section.c_str(), lines.data(), size, file.c_str())))
            if (line[0] != '=') pairs.emplace(section, line.substr(0, line.find('=')));
    }
}

std::string Shown(const std::string& bytes) {
    std::string shown;
    for (unsigned char c : bytes) {
        char hex[8];
        if (c == '\n') shown += "\\n\n      ";
        else if (c == '\r') shown += "\\r";
        else if (c < 32 || c > 126) std::snprintf(hex, sizeof hex, "\\x%02x", c), shown += hex;
        else shown += static_cast<char>(c);
    }
    return shown;
}

std::string ShownReading(const Reading& reading) { return reading ? "\"" + *reading + "\"" : "(missing)"; }

bool IsTheVersion(const std::pair<std::string, std::string>& pair) {
    return UpperCaseAscii(pair.first) == "OV" && UpperCaseAscii(pair.second) == "VERSION";
}

unsigned Setting(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

TEST(ProfileOnWindows, EditsReadBackAsTheSystemsOwn) {
    const unsigned seed = Setting("ORV_PROFILE_SEED", 13);
    const unsigned files = Setting("ORV_PROFILE_FILES", 300);
    ProfileMaker maker(seed);
    ScratchTree tree;
    WindowsPlatform platform;
    const char* const sections[] = {"OV", "ov", "X", "O V", "Settings", "OV]x"};
    const char* const keys[] = {"Version", "VERSION", "Other", "k", "Ver sion", ";Version", "[OV"};
    unsigned modelDiffering = 0, platformDiffering = 0, shown = 0, refused = 0, sameBytes = 0;

    for (unsigned n = 0; n < files; ++n) {
        const std::string text = maker.Text();
        const int op = maker.Pick(3);
        const std::string value = op == 0 ? "A.03.03" : "A.03.02";
        const bool removal = op == 2;
        const std::string name = "\\p" + std::to_string(n);
        const std::string original = tree.Root() + name + ".ini", system = tree.Root() + name + "s.ini",
                          ours = tree.Root() + name + "w.ini";
        tree.File(name + ".ini", text);
        tree.File(name + "s.ini", text);
        tree.File(name + "w.ini", text);

        WritePrivateProfileStringA("OV", "Version", removal ? nullptr : value.c_str(), system.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, system.c_str());
        bool written = true;
        if (removal) platform.RemoveProfileEntry(ours, "OV", "Version");
        else written = platform.WriteProfileEntry(ours, "OV", "Version", value);
        platform.FlushProfile(ours);

        const std::string modelled =
            removal ? ini::Remove(text, "OV", "Version") : ini::Write(text, "OV", "Version", value);
        std::set<std::pair<std::string, std::string>> pairs;
        for (const char* section : sections)
            for (const char* key : keys) pairs.emplace(section, key);
        AddListed(original, pairs);
        AddListed(system, pairs);

        std::string model, platformReport;
        bool othersKept = true, oursAsSystems = true;
        for (const auto& [section, key] : pairs) {
            const Reading before = SystemRead(original, section, key), after = SystemRead(system, section, key);
            // A comment that moves with the keys below a "[]" is no key that changed.
            if (!IsTheVersion({section, key}) && key[0] != ';' && before != after) othersKept = false;
            if (SystemRead(ours, section, key) != after) oursAsSystems = false;
            const Reading modelBefore = ini::Read(text, section, key), modelAfter = ini::Read(modelled, section, key);
            if (modelBefore != before)
                model += "  [" + section + "] " + key + " before: system " + ShownReading(before) + ", in memory " +
                         ShownReading(modelBefore) + "\n";
            if (modelAfter != after)
                model += "  [" + section + "] " + key + " after: system " + ShownReading(after) + ", in memory " +
                         ShownReading(modelAfter) + "\n";
        }
        // An edit that would change another key is refused, and the file stays as it was.
        const bool holds = othersKept && (removal || SystemRead(system, "OV", "Version") == value);
        const std::string systemBytes = tree.Bytes(name + "s.ini"), ourBytes = tree.Bytes(name + "w.ini");
        if (holds && (!oursAsSystems || !written))
            platformReport = std::string("  the platform ") + (written ? "" : "refused, and ") +
                             "its file reads otherwise than the system's:\n      " + Shown(ourBytes) + "\n";
        if (!holds && (ourBytes != text || !written == removal))
            platformReport = std::string("  the system's edit changes other keys, yet the platform ") +
                             (ourBytes != text ? "changed the file" : "reported success") + "\n";
        // The in-memory platform takes the edit where the system's would hold, and only there.
        if (ini::EditHolds(text, modelled, "OV", "Version", removal ? nullptr : &value) != holds)
            model += std::string("  in memory the edit ") + (holds ? "does not hold" : "holds") + "\n";
        refused += holds ? 0 : 1;
        sameBytes += modelled == systemBytes ? 1 : 0;
        modelDiffering += model.empty() ? 0 : 1;
        platformDiffering += platformReport.empty() ? 0 : 1;
        if ((!model.empty() || !platformReport.empty()) && ++shown <= 8)
            ADD_FAILURE() << "file " << n << " (seed " << seed << "), "
                          << (removal ? "removing Version" : "writing Version=" + value) << ":\n      "
                          << Shown(text) << "\nthe system's result:\n      " << Shown(systemBytes) << "\n"
                          << model << platformReport;
        for (const std::string& path : {original, system, ours}) {
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
            DeleteFileA(path.c_str());
        }
    }
    std::printf("profile edits against the system's: seed %u, %u files; reading otherwise: in memory %u, Windows "
                "platform %u; %u edits that would change other keys (to be refused); %u in-memory results byte for "
                "byte the system's\n",
                seed, files, modelDiffering, platformDiffering, refused, sameBytes);
    EXPECT_EQ(modelDiffering + platformDiffering, 0u);
}

// A UTF-16 file holding characters no ANSI code page has: the system edits it, and it stays UTF-16 with them.
TEST(ProfileOnWindows, Utf16BeyondAnsiStaysWhole) {
    ScratchTree tree;
    WindowsPlatform platform;
    const std::wstring text = L"[OV]\r\nVersion=A.03.01\r\n[X]\r\nName=\u4E2D\u00E9\r\n";
    tree.File("\\OV.INI", "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    const std::string path = tree.Root() + "\\OV.INI";
    ASSERT_TRUE(platform.WriteProfileEntry(path, "OV", "Version", "A.03.02"));
    platform.FlushProfile(path);
    EXPECT_EQ(platform.ReadProfileEntry(path, "OV", "Version", "None"), "A.03.02");
    EXPECT_EQ(tree.Bytes("\\OV.INI").substr(0, 4), std::string("\xFF\xFE[\0", 4));
    wchar_t name[16];
    const std::wstring wide(path.begin(), path.end());
    GetPrivateProfileStringW(L"X", L"Name", L"", name, 16, wide.c_str());
    EXPECT_EQ(std::wstring(name), L"\u4E2D\u00E9");
    platform.RemoveProfileEntry(path, "OV", "Version");
    platform.FlushProfile(path);
    EXPECT_EQ(platform.ReadProfileEntry(path, "OV", "Version", "None"), "None");
    GetPrivateProfileStringW(L"X", L"Name", L"", name, 16, wide.c_str());
    EXPECT_EQ(std::wstring(name), L"\u4E2D\u00E9");
}

}  // namespace
}  // namespace orv::test
