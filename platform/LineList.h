#pragma once
// A text file held as an ordered list of lines. Bytes pass unchanged: no code-page conversion, and a NUL
// byte is kept inside its line, so a load followed by a save loses nothing but the original line ends.
// A user.mac can hold a million lines: the lines of a loaded file stay where its bytes were read, as views,
// so that loading, testing, purging and saving them allocates nothing per line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Platform.h"

namespace orv {

// Whether found(line) holds for a line of the bytes, split as LoadLines splits them; it is asked line by
// line until it does. For a question about a file that needs no list of its lines.
bool AnyLine(std::string_view bytes, bool (*found)(std::string_view line));

class LineList {
public:
    std::size_t Count() const { return lines_.size(); }
    // A copy of the line. View gives its bytes in place, valid until the list next changes or is saved.
    std::string At(std::size_t index) const { return std::string(View(index)); }
    std::string_view View(std::size_t index) const { return ViewOf(lines_[index]); }
    void InsertAt(std::size_t index, std::string_view text);
    void DeleteAt(std::size_t index);

    // Deletes every line for which keep() is false, in one pass; the others keep their order. keep() is
    // given a std::string_view when it takes one, else a copy of the line.
    template <typename Predicate>
    void KeepOnly(Predicate keep) {
        std::size_t out = 0;
        for (std::size_t in = 0; in < lines_.size(); ++in) {
            bool kept;
            if constexpr (std::is_invocable_r_v<bool, Predicate&, std::string_view>) {
                kept = keep(ViewOf(lines_[in]));
            } else {
                kept = keep(std::string(ViewOf(lines_[in])));
            }
            if (kept) lines_[out++] = lines_[in];
        }
        lines_.resize(out);
    }

    // CR LF, a lone CR and a lone LF each end a line; a break at the very end adds no empty line.
    // Throws EFOpenError when the file cannot be opened; the list then keeps its lines.
    void LoadLines(Platform& platform, const std::string& path);
    // Every line followed by CR LF, written in one step; throws EFCreateError or EWriteError. The lines are
    // laid out as the file's bytes first, inside the bytes they were loaded into when these have room, so
    // that a save needs no second copy of the file.
    WriteMode SaveLines(Platform& platform, const std::string& path, KeptSecurity kept = KeptSecurity::FromFolder);

    // The conversions behind LoadLines and SaveLines.
    void SetText(std::string bytes);
    std::string Text() const;

private:
    // offset counts into bytes_, and from bytes_.size() on into added_. Offsets of 32 bits keep the list of a
    // million lines small; MakeSpan refuses (orv::Exception) what they cannot count.
    using Offset = std::uint32_t;
    struct Span {
        Offset offset;
        Offset length;
        std::size_t End() const { return std::size_t{offset} + length; }
    };
    static Span MakeSpan(std::size_t offset, std::size_t length);

    std::string_view ViewOf(const Span& line) const {
        if (line.offset < bytes_.size()) return std::string_view(bytes_.data() + line.offset, line.length);
        return std::string_view(added_.data() + (line.offset - bytes_.size()), line.length);
    }
    std::size_t TextSize() const;
    // Lines of bytes_ (below base) followed there by CR LF are saved as they lie. RunFrom gives the end of
    // the run of such lines, one after another in bytes_, from `first`; RunTo the start of the run ending
    // before `end`; either gives its argument back when that line is not such a line.
    bool EndsInCrLf(const Span& line, std::size_t base) const;
    std::size_t RunFrom(std::size_t first, std::size_t base) const;
    std::size_t RunTo(std::size_t end, std::size_t base) const;
    void LayOut();

    std::string bytes_;  // the bytes loaded, or since a save the bytes saved
    std::string added_;  // the lines put in since
    std::vector<Span> lines_;
};

// A copy without the leading and trailing characters whose code is 32 or below.
std::string TrimBlanks(const std::string& text);
// A copy with a to z made capitals; every other byte unchanged.
std::string UpperCaseAscii(std::string text);
// 1-based position of the first occurrence of needle in text; 0 when absent or when either is empty.
std::size_t PositionOf(const std::string& needle, const std::string& text);

// The same questions answered in place, for every line of a large file.

inline char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// TrimBlanks(text), as a view into text.
inline std::string_view TrimmedView(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

// PositionOf(needle, UpperCaseAscii(text)) == 1.
inline bool UpperCasedStartsWith(std::string_view text, std::string_view needle) {
    if (needle.empty() || needle.size() > text.size()) return false;
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (ToUpperAscii(text[i]) != needle[i]) return false;
    }
    return true;
}

// PositionOf(needle, UpperCaseAscii(text)) > 0.
bool UpperCasedContains(std::string_view text, std::string_view needle);

// UpperCaseAscii(a) == UpperCaseAscii(b).
bool UpperCasedEqual(std::string_view a, std::string_view b);

}  // namespace orv
