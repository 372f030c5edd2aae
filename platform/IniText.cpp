#include "IniText.h"

#include <vector>

#include "LineList.h"

namespace orv::ini {
namespace {

bool SameName(const std::string& a, const std::string& b) { return UpperCaseAscii(a) == UpperCaseAscii(b); }

std::string TrimSpaces(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
    return text.substr(first, last - first);
}

// "[name]" gives name; anything else gives nothing.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string trimmed = TrimSpaces(line);
    if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
    const std::size_t close = trimmed.find(']');
    if (close == std::string::npos) return TrimSpaces(trimmed.substr(1));
    return TrimSpaces(trimmed.substr(1, close - 1));
}

bool IsKeyLine(const std::string& line, const std::string& key, std::string* value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || !SameName(TrimSpaces(line.substr(0, eq)), key)) return false;
    if (value != nullptr) *value = TrimSpaces(line.substr(eq + 1));
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    LineList list;
    list.SetText(text);
    std::vector<std::string> lines;
    lines.reserve(list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) lines.push_back(list.At(i));
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The first line of the section's body and one past its last line; npos when the section is missing.
struct SectionRange {
    std::size_t begin = std::string::npos;
    std::size_t end = std::string::npos;
};

SectionRange FindSection(const std::vector<std::string>& lines, const std::string& section) {
    SectionRange range;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (!name) continue;
        if (range.begin != std::string::npos) {
            range.end = i;
            return range;
        }
        if (SameName(*name, section)) range.begin = i + 1;
    }
    if (range.begin != std::string::npos) range.end = lines.size();
    return range;
}

}  // namespace

std::optional<std::string> Read(const std::string& text, const std::string& section, const std::string& key) {
    const std::vector<std::string> lines = Lines(text);
    const SectionRange range = FindSection(lines, section);
    if (range.begin == std::string::npos) return std::nullopt;
    std::string value;
    for (std::size_t i = range.begin; i < range.end; ++i) {
        if (!IsKeyLine(lines[i], key, &value)) continue;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > MaxValue) value.resize(MaxValue);
        return value;
    }
    return std::nullopt;
}

std::string Write(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& value) {
    std::vector<std::string> lines = Lines(text);
    const std::string entry = key + "=" + value;
    const SectionRange range = FindSection(lines, section);
    if (range.begin == std::string::npos) {
        if (!lines.empty() && !TrimSpaces(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
        return Join(lines);
    }
    std::size_t lastFilled = range.begin;
    for (std::size_t i = range.begin; i < range.end; ++i) {
        if (IsKeyLine(lines[i], key, nullptr)) {
            lines[i] = entry;
            return Join(lines);
        }
        if (!TrimSpaces(lines[i]).empty()) lastFilled = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastFilled), entry);
    return Join(lines);
}

std::string Remove(const std::string& text, const std::string& section, const std::string& key) {
    std::vector<std::string> lines = Lines(text);
    const SectionRange range = FindSection(lines, section);
    if (range.begin == std::string::npos) return text;
    for (std::size_t i = range.begin; i < range.end; ++i) {
        if (IsKeyLine(lines[i], key, nullptr)) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            return Join(lines);
        }
    }
    return text;
}

}  // namespace orv::ini
