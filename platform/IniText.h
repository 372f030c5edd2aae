#pragma once
// The text of a Windows profile file, read and edited by the rules of the system's profile functions (measured
// under Wine, and checked there against them by tests/procedures-windows/ProfileOnWindowsTest.cpp):
// - CR, LF and CR LF each end a line; blanks (space, tab, VT, FF, ^Z) around a line, a name or a value do not
//   count, and blank lines are no part of the file.
// - A line starting with '[' and holding a ']' opens a section named by what lies between the '[' and the last
//   ']'; "[OV" is no header but a key line. "[]" opens a section without a name, which nothing can find: the keys
//   below it are lost to every lookup.
// - A key line without '=' is a key without a value: a lookup finds it, reads the default, and an edit gives it
//   a value or removes it.
// - Names match regardless of ASCII letter case; a lookup reads the first section of the name and, in it, the
//   first key of the name. A removal takes the first key of the name from the first section of the name that
//   holds one.
// - A value in matching quotes loses them; a value is cut to 2047 characters.
// - An edit rewrites the whole file as the system saves it: "[name]" and "key=value" lines without blanks, each
//   ended by CR LF, in the file's own encoding (ANSI, UTF-8 or UTF-16 with its byte-order mark). An edit that
//   changes no key leaves the text as it was.
// Bytes beyond ASCII are taken as they stand; a UTF-16 file holding such characters cannot be kept exactly by
// this byte model and is left as it was (an edit of it does not hold).
#include <cstddef>
#include <optional>
#include <string>

namespace orv::ini {

inline constexpr std::size_t MaxValue = 2047;

// The value of the key, or nothing when the section or key is missing or the key has no value.
std::optional<std::string> Read(const std::string& text, const std::string& section, const std::string& key);
// The text as the system's WritePrivateProfileStringA leaves it.
std::string Write(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& value);
// The text as the system's removal of the key (WritePrivateProfileStringA without a value) leaves it.
std::string Remove(const std::string& text, const std::string& section, const std::string& key);

// What a read of the key gives after the value was written.
std::string AsRead(const std::string& value);
// The check an edit must pass before it replaces the file: the key reads the value written (value null: a
// removal, after which a second key of the name may show), and every other key reads as it did. The system's
// own edit fails it where it moves keys: those below a "[]" join the section above once the header is gone.
bool EditHolds(const std::string& before, const std::string& after, const std::string& section,
               const std::string& key, const std::string* value);

// Whether this byte model can read the text as the system does (false: a UTF-16 file with characters beyond ANSI).
bool Representable(const std::string& text);

}  // namespace orv::ini
