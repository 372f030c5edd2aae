#include "JoinedText.h"

namespace orv {

std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces) size += piece.size();
    std::string text;
    text.reserve(size);
    for (std::string_view piece : pieces) text.append(piece.data(), piece.size());
    return text;
}

Decimal::Decimal(unsigned long value) {
    do {
        digits_[--start_] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
}

}  // namespace orv
