#pragma once
// The text of a Windows profile file, read and edited the way the system's profile functions do it:
// section and key names match regardless of letter case, blanks around keys and values are ignored,
// a value in matching quotes loses them, and a value is cut to 2047 characters.
#include <cstddef>
#include <optional>
#include <string>

namespace orv::ini {

inline constexpr std::size_t MaxValue = 2047;

// The value of the key, or nothing when the section or key is missing.
std::optional<std::string> Read(const std::string& text, const std::string& section, const std::string& key);
// The text with the key set: an existing key gets the value, a missing one is added to its section,
// a missing section is appended.
std::string Write(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& value);
// The text without the key; unchanged when it is missing.
std::string Remove(const std::string& text, const std::string& section, const std::string& key);

}  // namespace orv::ini
