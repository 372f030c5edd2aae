#include "LineList.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "Exceptions.h"

namespace orv {
namespace {

// The bytes of a file are looked through a machine word at a time: a large file is mostly line text, and
// loading, testing and counting its lines spends its time here.
using Word = std::size_t;
constexpr Word Ones = ~Word(0) / 255;
constexpr Word Highs = Ones * 0x80;
constexpr bool ByWords = std::endian::native == std::endian::little;

Word Load(const char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The high bit of every byte of x that is zero, and no other bit.
Word ZeroBytes(Word x) { return ~(((x & ~Highs) + ~Highs) | x) & Highs; }

// The first position in [pos, end) holding a or b; end when there is none.
std::size_t FindEither(const char* data, std::size_t pos, std::size_t end, char a, char b) {
    if constexpr (ByWords) {
        const Word as = Ones * static_cast<unsigned char>(a);
        const Word bs = Ones * static_cast<unsigned char>(b);
        for (; end - pos >= sizeof(Word); pos += sizeof(Word)) {
            const Word word = Load(data + pos);
            const Word found = ZeroBytes(word ^ as) | ZeroBytes(word ^ bs);
            if (found != 0) return pos + static_cast<std::size_t>(std::countr_zero(found)) / 8;
        }
    }
    while (pos < end && data[pos] != a && data[pos] != b) ++pos;
    return pos;
}

// How many lines SetText will find, so that their list is allocated once, at its size: one per LF and per
// CR not followed by LF before the last byte, and one more ended by the last byte or by the end.
std::size_t CountLines(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t breaks = 0;
    std::size_t pos = 0;
    if constexpr (ByWords) {
        for (; size - pos > sizeof(Word); pos += sizeof(Word)) {
            const Word word = Load(data + pos);
            const Word lf = ZeroBytes(word ^ (Ones * '\n'));
            const Word cr = ZeroBytes(word ^ (Ones * '\r'));
            if ((lf | cr) == 0) continue;
            // Whether each byte's successor is LF: the byte above, and for the top byte the next word's first.
            const Word lfAfterTop = static_cast<Word>(data[pos + sizeof(Word)] == '\n') << (8 * sizeof(Word) - 1);
            const Word lfNext = (lf >> 8) | lfAfterTop;
            const Word ends = lf | (cr & ~lfNext);
            breaks += ((ends >> 7) * Ones) >> (8 * sizeof(Word) - 8);  // the sum of the bytes' flags
        }
    }
    for (; pos + 1 < size; ++pos) {
        breaks += static_cast<std::size_t>(data[pos] == '\n' || (data[pos] == '\r' && data[pos + 1] != '\n'));
    }
    return breaks + 1;
}

// The bytes of one line and the CR LF after it, at `at`; the source may overlap the place.
void Place(char* out, std::size_t at, const char* line, std::size_t length) {
    if (out + at != line) std::memmove(out + at, line, length);
    out[at + length] = '\r';
    out[at + length + 1] = '\n';
}

// Where the line starting at `from` ends (its first CR or LF, or the end of the bytes) and where the next
// one starts: after CR LF, a lone CR or a lone LF.
struct LineEnd {
    std::size_t end;
    std::size_t next;
};

LineEnd EndOfLine(std::string_view bytes, std::size_t from) {
    const std::size_t end = FindEither(bytes.data(), from, bytes.size(), '\r', '\n');
    std::size_t next = end;
    if (next < bytes.size() && bytes[next] == '\r') ++next;
    if (next < bytes.size() && bytes[next] == '\n') ++next;
    return LineEnd{end, next};
}

}  // namespace

bool AnyLine(std::string_view bytes, bool (*found)(std::string_view line)) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const LineEnd at = EndOfLine(bytes, pos);
        if (found(bytes.substr(pos, at.end - pos))) return true;
        pos = at.next;
    }
    return false;
}

void LineList::InsertAt(std::size_t index, std::string_view text) {
    const std::size_t offset = bytes_.size() + added_.size();
    const Span line = MakeSpan(offset, text.size());
    added_.append(text);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), line);
}

void LineList::DeleteAt(std::size_t index) { lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index)); }

void LineList::SetText(std::string bytes) {
    MakeSpan(bytes.size(), 0);
    std::vector<Span>().swap(lines_);
    added_.clear();
    bytes_ = std::move(bytes);
    // One place more: the install puts its start line first, which would otherwise move the whole list.
    lines_.reserve(CountLines(bytes_) + 1);
    for (std::size_t pos = 0; pos < bytes_.size();) {
        const LineEnd at = EndOfLine(bytes_, pos);
        lines_.push_back(Span{static_cast<Offset>(pos), static_cast<Offset>(at.end - pos)});
        pos = at.next;
    }
}

LineList::Span LineList::MakeSpan(std::size_t offset, std::size_t length) {
    // Summed in 64 bits, so that the sum cannot wrap in a 32-bit build either.
    if (static_cast<std::uint64_t>(offset) + length > std::numeric_limits<Offset>::max()) {
        throw Exception("A text of 4 GiB or more cannot be edited");
    }
    return Span{static_cast<Offset>(offset), static_cast<Offset>(length)};
}

std::size_t LineList::TextSize() const {
    std::size_t total = 0;
    for (const Span& line : lines_) total += std::size_t{line.length} + 2;
    return total;
}

bool LineList::EndsInCrLf(const Span& line, std::size_t base) const {
    const std::size_t end = line.End();
    return end + 2 <= base && bytes_[end] == '\r' && bytes_[end + 1] == '\n';
}

std::size_t LineList::RunFrom(std::size_t first, std::size_t base) const {
    std::size_t next = lines_[first].offset;
    std::size_t end = first;
    for (; end < lines_.size() && lines_[end].offset == next && EndsInCrLf(lines_[end], base); ++end) {
        next = lines_[end].End() + 2;
    }
    return end;
}

std::size_t LineList::RunTo(std::size_t end, std::size_t base) const {
    if (!EndsInCrLf(lines_[end - 1], base)) return end;
    std::size_t first = end - 1;
    while (first > 0 && EndsInCrLf(lines_[first - 1], base) && lines_[first - 1].End() + 2 == lines_[first].offset) {
        --first;
    }
    return first;
}

std::string LineList::Text() const {
    std::string bytes(TextSize(), '\0');
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines_.size();) {
        const std::size_t end = RunFrom(i, bytes_.size());
        if (end > i) {
            const std::size_t size = lines_[end - 1].End() + 2 - lines_[i].offset;
            std::memcpy(bytes.data() + at, bytes_.data() + lines_[i].offset, size);
            at += size;
            i = end;
        } else {
            const std::string_view text = ViewOf(lines_[i++]);
            Place(bytes.data(), at, text.data(), text.size());
            at += text.size() + 2;
        }
    }
    return bytes;
}

// Makes bytes_ the text to save. Where the loaded bytes have room for it, the lines move inside them: lines
// that move right go first, from the last, and the others then from the first, so that no line is
// overwritten before it has moved; the added lines fill their places on the way. Lines that follow one
// another in CR LF move together. Without the room the text is built anew.
void LineList::LayOut() {
    const std::size_t total = TextSize();
    MakeSpan(total, 0);
    if (total > bytes_.capacity()) {
        bytes_ = Text();
    } else {
        const std::size_t base = bytes_.size();
        bytes_.resize(std::max(base, total));
        char* const out = bytes_.data();
        std::size_t at = total;
        for (std::size_t i = lines_.size(); i > 0;) {
            const Span line = lines_[i - 1];
            at -= std::size_t{line.length} + 2;
            if (line.offset >= base || at <= line.offset) {
                --i;
                continue;
            }
            const std::size_t first = RunTo(i, base);
            if (first == i) {
                Place(out, at, out + line.offset, line.length);
                --i;
                continue;
            }
            at -= line.offset - lines_[first].offset;
            std::memmove(out + at, out + lines_[first].offset, line.End() + 2 - lines_[first].offset);
            i = first;
        }
        for (std::size_t i = 0; i < lines_.size();) {
            const Span line = lines_[i];
            const std::size_t end = line.offset < base && at <= line.offset ? RunFrom(i, base) : i;
            if (end > i) {
                const std::size_t size = lines_[end - 1].End() + 2 - line.offset;
                if (at != line.offset) std::memmove(out + at, out + line.offset, size);
                at += size;
                i = end;
                continue;
            }
            if (line.offset >= base) Place(out, at, added_.data() + (line.offset - base), line.length);
            else if (at <= line.offset) Place(out, at, out + line.offset, line.length);
            at += std::size_t{line.length} + 2;
            ++i;
        }
    }
    bytes_.resize(total);
    added_.clear();
    std::size_t at = 0;
    for (Span& line : lines_) {
        line.offset = static_cast<Offset>(at);
        at += std::size_t{line.length} + 2;
    }
}

void LineList::LoadLines(Platform& platform, const std::string& path) { SetText(platform.ReadWholeFile(path)); }

WriteMode LineList::SaveLines(Platform& platform, const std::string& path, KeptSecurity kept) {
    LayOut();
    return platform.WriteWholeFile(path, bytes_.data(), bytes_.size(), kept);
}

std::string TrimBlanks(const std::string& text) { return std::string(TrimmedView(text)); }

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) c = ToUpperAscii(c);
    return text;
}

std::size_t PositionOf(const std::string& needle, const std::string& text) {
    if (needle.empty() || text.empty()) return 0;
    const std::size_t at = text.find(needle);
    return at == std::string::npos ? 0 : at + 1;
}

bool UpperCasedContains(std::string_view text, std::string_view needle) {
    if (needle.empty() || needle.size() > text.size()) return false;
    // Upper-casing makes a and A both A: a capital is looked for in both cases, any other byte as it is.
    const char first = needle[0];
    const char other = first >= 'A' && first <= 'Z' ? static_cast<char>(first + 32) : first;
    const std::size_t end = text.size() - needle.size() + 1;
    std::size_t at = 0;
    if constexpr (ByWords) {
        const Word firsts = Ones * static_cast<unsigned char>(first);
        const Word others = Ones * static_cast<unsigned char>(other);
        for (; end - at >= sizeof(Word); at += sizeof(Word)) {
            const Word word = Load(text.data() + at);
            for (Word found = ZeroBytes(word ^ firsts) | ZeroBytes(word ^ others); found != 0; found &= found - 1) {
                const std::size_t start = at + static_cast<std::size_t>(std::countr_zero(found)) / 8;
                if (UpperCasedStartsWith(text.substr(start), needle)) return true;
            }
        }
    }
    for (; at < end; ++at) {
        if (UpperCasedStartsWith(text.substr(at), needle)) return true;
    }
    return false;
}

bool UpperCasedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
    }
    return true;
}

}  // namespace orv
