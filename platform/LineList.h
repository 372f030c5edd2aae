#pragma once
// A text file held as an ordered list of lines. Bytes pass unchanged: no code-page conversion, and a NUL
// byte is kept inside its line, so a load followed by a save loses nothing but the original line ends.
#include <cstddef>
#include <string>
#include <vector>

#include "Platform.h"

namespace orv {

class LineList {
public:
    std::size_t Count() const { return lines_.size(); }
    const std::string& At(std::size_t index) const { return lines_[index]; }
    void InsertAt(std::size_t index, std::string text);
    void DeleteAt(std::size_t index);

    // Deletes every line for which keep() is false, in one pass; the others keep their order.
    template <typename Predicate>
    void KeepOnly(Predicate keep) {
        std::size_t out = 0;
        for (std::size_t in = 0; in < lines_.size(); ++in) {
            if (keep(lines_[in])) {
                if (out != in) lines_[out] = std::move(lines_[in]);
                ++out;
            }
        }
        lines_.resize(out);
    }

    // CR LF, a lone CR and a lone LF each end a line; a break at the very end adds no empty line.
    // Throws EFOpenError when the file cannot be opened; the list then keeps its lines.
    void LoadLines(Platform& platform, const std::string& path);
    // Every line followed by CR LF, written in one step; throws EFCreateError or EWriteError.
    void SaveLines(Platform& platform, const std::string& path) const;

    // The conversions behind LoadLines and SaveLines.
    void SetText(const std::string& bytes);
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};

// A copy without the leading and trailing characters whose code is 32 or below.
std::string TrimBlanks(const std::string& text);
// A copy with a to z made capitals; every other byte unchanged.
std::string UpperCaseAscii(std::string text);
// 1-based position of the first occurrence of needle in text; 0 when absent or when either is empty.
std::size_t PositionOf(const std::string& needle, const std::string& text);

}  // namespace orv
