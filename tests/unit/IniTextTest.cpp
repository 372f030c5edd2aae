#include <gtest/gtest.h>

#include "IniText.h"

namespace orv {
namespace {

TEST(IniText, Read) {
    const std::string text = "[PCS]\r\nPath = C:\\HPCHEM \r\n[pcs,1]\r\n_INSTPATH$=C:\\HPCHEM\\1\\\r\n"
                             "Quoted=\"a b\"\r\n[OV]\r\nVersion=\r\n";
    const struct {
        const char *section, *key;
        std::optional<std::string> value;
    } cases[] = {
        {"PCS", "Path", "C:\\HPCHEM"},
        {"pcs", "PATH", "C:\\HPCHEM"},
        {"PCS,1", "_INSTPATH$", "C:\\HPCHEM\\1\\"},
        {"PCS,1", "Quoted", "a b"},
        {"OV", "Version", ""},
        {"PCS,2", "_INSTPATH$", std::nullopt},
        {"PCS", "Version", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::Read(text, c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(ini::Read(std::string("[A]\r\nk=") + std::string(3000, 'x'), "A", "k")->size(), 2047u);
}

TEST(IniText, WriteAndRemove) {
    const struct {
        const char* before;
        const char* after;
    } writes[] = {
        {"", "[OV]\r\nVersion=A.03.02\r\n"},
        {"[OV]\r\nVersion=A.03.01\r\n", "[OV]\r\nVersion=A.03.02\r\n"},
        {"[X]\r\na=1\r\n", "[X]\r\na=1\r\n\r\n[OV]\r\nVersion=A.03.02\r\n"},
        {"[OV]\r\nOther=1\r\n\r\n[Y]\r\n", "[OV]\r\nOther=1\r\nVersion=A.03.02\r\n\r\n[Y]\r\n"},
    };
    for (const auto& c : writes) EXPECT_EQ(ini::Write(c.before, "OV", "Version", "A.03.02"), c.after) << c.before;

    EXPECT_EQ(ini::Remove("[OV]\r\nVersion=A.03.02\r\nOther=1\r\n", "ov", "VERSION"), "[OV]\r\nOther=1\r\n");
    EXPECT_EQ(ini::Remove("[X]\r\nVersion=1\r\n", "OV", "Version"), "[X]\r\nVersion=1\r\n");
    // Only the section's own key goes, not one of that name in a section before it.
    EXPECT_EQ(ini::Remove("[X]\r\nVersion=1\r\n[OV]\r\nVersion=2\r\n", "OV", "Version"), "[X]\r\nVersion=1\r\n[OV]\r\n");
}

}  // namespace
}  // namespace orv
