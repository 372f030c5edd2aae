#include <gtest/gtest.h>

#include "IniText.h"

namespace orv {
namespace {

std::string Utf16(const std::string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

const std::string kHost = "[PCS]\r\nPath = C:\\HPCHEM \r\n[pcs,1]\r\n_INSTPATH$=C:\\HPCHEM\\1\\\r\n"
                          "Quoted=\"a b\"\r\n[OV]\r\nVersion=\r\n";
const std::string kVersion1 = "[OV]\r\nVersion=1\r\n";

TEST(IniText, Read) {
    const struct {
        std::string text;
        const char *section, *key;
        std::optional<std::string> value;
    } cases[] = {
        {kHost, "PCS", "Path", "C:\\HPCHEM"},
        {kHost, "pcs", "PATH", "C:\\HPCHEM"},
        {kHost, "PCS,1", "_INSTPATH$", "C:\\HPCHEM\\1\\"},
        {kHost, "PCS,1", "Quoted", "a b"},
        {kHost, "OV", "Version", ""},
        {kHost, "PCS,2", "_INSTPATH$", std::nullopt},
        {kHost, "PCS", "Version", std::nullopt},
        // A key line without '=' is found first and has no value.
        {"[OV]\r\nVersion\r\nVersion=5\r\n", "OV", "Version", std::nullopt},
        // "[OV" is a key line, not a header; "[]" is a section nothing can find.
        {"[OV\r\nVersion=1\r\n", "OV", "Version", std::nullopt},
        {"[OV]\r\n[]\r\nVersion=1\r\n", "OV", "Version", std::nullopt},
        {"[OV]\r\n[ ]\r\nVersion=1\r\n", "OV", "Version", std::nullopt},
        // The name ends at the last ']', and blanks around it do not count.
        {"[OV] ; note\r\nVersion=1\r\n", "OV", "Version", "1"},
        {"[OV]x]\r\nVersion=1\r\n", "OV]x", "Version", "1"},
        {"[OV]x]\r\nVersion=1\r\n", "OV", "Version", std::nullopt},
        {" [\tOV ] \r\nVersion=1\r\n", "OV", "Version", "1"},
        {"[O V]\r\n Ver sion = 1 \r\n", "o v", "Ver sion", "1"},
        {"[OV]\r\n\v\fVersion\x1A=\t1 \r\n", "OV", "Version", "1"},
        // The first section of a name is the only one looked in, and its first key of the name.
        {"[OV]\r\na=1\r\n[ov]\r\nVersion=2\r\n", "OV", "Version", std::nullopt},
        {"[OV]\r\nVersion=1\r\nversion=2\r\n", "OV", "Version", "1"},
        {"Version=1\r\n[OV]\r\n", "OV", "Version", std::nullopt},
        // Quotes.
        {"[OV]\r\nVersion='b'\r\n", "OV", "Version", "b"},
        {"[OV]\r\nVersion=\"c'\r\n", "OV", "Version", "\"c'"},
        {"[OV]\r\nVersion=\"\r\n", "OV", "Version", "\""},
        {"[OV]\r\nVersion=\"\"\r\n", "OV", "Version", ""},
        {"[OV]\r\nVersion=\" x \"\r\n", "OV", "Version", " x "},
        {"[OV]\r\nVersion=\"" + std::string(2047, 'x') + "\"\r\n", "OV", "Version", std::string(2046, 'x')},
        // Encodings and line ends.
        {Utf16(kVersion1, false), "OV", "Version", "1"},
        {Utf16(kVersion1, true), "OV", "Version", "1"},
        {"\xEF\xBB\xBF" + kVersion1, "OV", "Version", "1"},
        {"[X]\rk=v\r[OV]\rVersion=1\r", "OV", "Version", "1"},
        {"[X]\nk=v\n[OV]\nVersion=1", "OV", "Version", "1"},
        {std::string("[OV]\r\nVersion=1\0x\r\n", 18), "OV", "Version", "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::Read(c.text, c.section, c.key), c.value) << c.text;
    EXPECT_EQ(ini::Read(std::string("[A]\r\nk=") + std::string(3000, 'x'), "A", "k")->size(), 2047u);
}

TEST(IniText, WriteAndRemove) {
    // The system rewrites the whole file: no blank lines, no blanks around names and values, CR LF line ends.
    const struct {
        std::string before;
        std::string after;
    } writes[] = {
        {"", "[OV]\r\nVersion=A.03.02\r\n"},
        {"[OV]\r\nVersion=A.03.01\r\n", "[OV]\r\nVersion=A.03.02\r\n"},
        {"[X]\r\na=1\r\n", "[X]\r\na=1\r\n[OV]\r\nVersion=A.03.02\r\n"},
        {"[OV]\r\nOther=1\r\n\r\n[Y]\r\n", "[OV]\r\nOther=1\r\nVersion=A.03.02\r\n[Y]\r\n"},
        {"[OV]\r\nVersion\r\nOther=1\r\n", "[OV]\r\nVersion=A.03.02\r\nOther=1\r\n"},
        {"[OV\r\nVersion=1\r\n", "[OV\r\nVersion=1\r\n[OV]\r\nVersion=A.03.02\r\n"},
        {"[A]\r\nx=1\r\n[]\r\ny=2\r\n", "[A]\r\nx=1\r\ny=2\r\n[OV]\r\nVersion=A.03.02\r\n"},
        {" [ OV ] junk\r\n\tVersion = 1 \r\n;c\r\n", "[OV]\r\nVersion=A.03.02\r\n;c\r\n"},
        {"[OV]\r\na=1\r\n[ov]\r\nVersion=2\r\n", "[OV]\r\na=1\r\nVersion=A.03.02\r\n[ov]\r\nVersion=2\r\n"},
        {"=x\r\n=y\r\n[X]\rk=v\r[OV]\rVersion=1\r", "=x\r\n[X]\r\nk=v\r\n[OV]\r\nVersion=A.03.02\r\n"},
        {"[OV]\n  Version = A.03.02 \n\n", "[OV]\n  Version = A.03.02 \n\n"},  // no change, no rewrite
        {Utf16("[OV]\r\nVersion=1\r\n", false), Utf16("[OV]\r\nVersion=A.03.02\r\n", false)},
        {Utf16("[OV]\nVersion=1", true), Utf16("[OV]\r\nVersion=A.03.02\r\n", true)},
        {"\xEF\xBB\xBF[OV]\r\n", "\xEF\xBB\xBF[OV]\r\nVersion=A.03.02\r\n"},
        // A UTF-16 file with characters beyond ASCII is left as it is.
        {Utf16("[OV]\r\nVersion=1\r\n", false) + "\xE9\x00", Utf16("[OV]\r\nVersion=1\r\n", false) + "\xE9\x00"},
    };
    for (const auto& c : writes) EXPECT_EQ(ini::Write(c.before, "OV", "Version", "A.03.02"), c.after) << c.before;

    const struct {
        std::string before;
        const char *section, *key;
        std::string after;
    } removals[] = {
        {"[OV]\r\nOther=1\r\nVersion=A.03.02\r\nLast=2\r\n", "ov", "VERSION", "[OV]\r\nOther=1\r\nLast=2\r\n"},
        {"[X]\r\nVersion=1\r\n", "OV", "Version", "[X]\r\nVersion=1\r\n"},
        // Only the section's own key goes, not one of that name in a section before it.
        {"[X]\r\nVersion=1\r\n[OV]\r\nVersion=2\r\n", "OV", "Version", "[X]\r\nVersion=1\r\n[OV]\r\n"},
        // The first key of the name, with or without a value; the next one shows afterwards.
        {"[OV]\r\nVersion\r\nVersion=5\r\n", "OV", "Version", "[OV]\r\nVersion=5\r\n"},
        // Unlike a lookup, a removal goes on to the next section of the name.
        {"[OV\r\n[ov]\r\nversion=A\r\n", "OV", "Version", "[OV\r\n[ov]\r\n"},
        {"[OV]\r\na=1\r\n[ov]\r\nVersion=2\r\n", "OV", "Version", "[OV]\r\na=1\r\n[ov]\r\n"},
        {Utf16("[OV]\r\nVersion=1\r\n[X]\r\nk=v\r\n", true), "OV", "Version", Utf16("[OV]\r\n[X]\r\nk=v\r\n", true)},
    };
    for (const auto& c : removals) EXPECT_EQ(ini::Remove(c.before, c.section, c.key), c.after) << c.before;
}

TEST(IniText, EditHolds) {
    const std::string value = "A.03.02";
    const struct {
        std::string before;
        bool removal;
        bool holds;
    } cases[] = {
        {"[X]\r\na=1\r\n", false, true},
        {"[OV]\r\nVersion=1\r\nversion=2\r\n", true, true},  // the second key shows, as with the system
        {"[OV]\r\n[]\r\nVersion=3\r\n", false, true},        // moved below the new key, it stays hidden
        // The system's edit drops the "[]", and the keys below it join the section above.
        {"[A]\r\nx=1\r\n[]\r\ny=2\r\n", false, false},
        {"[OV]\r\nVersion=1\r\n[ ]\r\nOther=2\r\n", true, false},
        {"[A]\r\n[]\r\n;comment\r\n", false, true},  // a comment is no key
        {Utf16("[OV]\r\nVersion=1\r\n", false) + "\xE9\x00", false, false},
    };
    for (const auto& c : cases) {
        const std::string after =
            c.removal ? ini::Remove(c.before, "OV", "Version") : ini::Write(c.before, "OV", "Version", value);
        EXPECT_EQ(ini::EditHolds(c.before, after, "OV", "Version", c.removal ? nullptr : &value), c.holds) << c.before;
    }
    // A write cut short by a full disk.
    EXPECT_FALSE(ini::EditHolds("[X]\r\na=1\r\n", "[X]\r\n", "OV", "Version", nullptr));
    EXPECT_FALSE(ini::EditHolds("[X]\r\na=1\r\n", "[X]\r\na=1\r\n[OV]\r\nVer", "OV", "Version", &value));
    EXPECT_EQ(ini::AsRead(" \"A.03.02\" "), "A.03.02");
}

}  // namespace
}  // namespace orv
