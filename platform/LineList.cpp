#include "LineList.h"

namespace orv {

void LineList::InsertAt(std::size_t index, std::string text) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(text));
}

void LineList::DeleteAt(std::size_t index) { lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index)); }

void LineList::SetText(const std::string& bytes) {
    lines_.clear();
    const std::size_t end = bytes.size();
    std::size_t pos = 0;
    while (pos < end) {
        const std::size_t start = pos;
        while (pos < end && bytes[pos] != '\r' && bytes[pos] != '\n') ++pos;
        lines_.emplace_back(bytes, start, pos - start);
        if (pos < end && bytes[pos] == '\r') ++pos;
        if (pos < end && bytes[pos] == '\n') ++pos;
    }
}

std::string LineList::Text() const {
    std::size_t total = 0;
    for (const std::string& line : lines_) total += line.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const std::string& line : lines_) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

void LineList::LoadLines(Platform& platform, const std::string& path) { SetText(platform.ReadWholeFile(path)); }

void LineList::SaveLines(Platform& platform, const std::string& path) const {
    const std::string bytes = Text();
    platform.WriteWholeFile(path, bytes.data(), bytes.size());
}

std::string TrimBlanks(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return text;
}

std::size_t PositionOf(const std::string& needle, const std::string& text) {
    if (needle.empty() || text.empty()) return 0;
    const std::size_t at = text.find(needle);
    return at == std::string::npos ? 0 : at + 1;
}

}  // namespace orv
