#include "IniText.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "JoinedText.h"
#include "LineList.h"

namespace orv::ini {
namespace {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

struct Key {
    std::string name;
    std::optional<std::string> value;  // none: a line without '='
};

struct Section {
    std::string name;  // empty: the lines before the first header, or below a "[]"
    std::vector<Key> keys;
};

struct Profile {
    Encoding encoding = Encoding::Ansi;
    bool exact = true;  // false: a UTF-16 file this byte model cannot give back as it was
    std::vector<Section> sections;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }
bool IsBlankOrBreak(char c) { return IsBlank(c) || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text, bool (*blank)(char) = IsBlank) {
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view TrimStart(std::string_view text) {
    while (!text.empty() && IsBlankOrBreak(text.front())) text.remove_prefix(1);
    return text;
}

// The system keeps names and values as C strings: a NUL ends them.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

bool SameName(std::string_view a, std::string_view b) { return UpperCasedEqual(a, b); }

// A name as a caller gives it: blanks and line breaks around it do not count.
std::string_view Wanted(std::string_view name) { return Trim(UpToNul(name), IsBlankOrBreak); }

// The text of the file without its byte-order mark, one byte a character: in bytes itself, or for UTF-16 in
// `converted`.
std::string_view Body(const std::string& bytes, Profile& profile, std::string& converted) {
    if (bytes.compare(0, Utf8Mark.size(), Utf8Mark) == 0) {
        profile.encoding = Encoding::Utf8;
        return std::string_view(bytes).substr(Utf8Mark.size());
    }
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (!little && bytes.compare(0, 2, "\xFE\xFF") != 0) return bytes;
    profile.encoding = little ? Encoding::Utf16Le : Encoding::Utf16Be;
    profile.exact = bytes.size() % 2 == 0;
    converted.reserve(bytes.size() / 2);
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const unsigned low = static_cast<unsigned char>(bytes[little ? at : at + 1]);
        const unsigned high = static_cast<unsigned char>(bytes[little ? at + 1 : at]);
        const unsigned unit = low | high << 8;
        if (unit >= 0x80) profile.exact = false;
        converted += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return converted;
}

Profile Parse(const std::string& bytes) {
    Profile profile;
    std::string converted;
    const std::string_view all = Body(bytes, profile, converted);
    profile.sections.emplace_back();
    for (std::size_t at = 0; at < all.size();) {
        std::size_t end = all.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = Trim(all.substr(at, end - at));
        at = end + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                profile.sections.emplace_back().name = UpToNul(Trim(line.substr(1, close - 1)));
                continue;
            }
        }
        const std::size_t equals = line.find('=');
        const std::string_view name = equals == std::string_view::npos ? line : Trim(line.substr(0, equals));
        std::vector<Key>& keys = profile.sections.back().keys;
        // A run of lines with no name before their '=' counts once.
        if (name.empty() && !keys.empty() && keys.back().name.empty()) continue;
        Key& key = keys.emplace_back();
        key.name = UpToNul(name);
        if (equals != std::string_view::npos) key.value = UpToNul(Trim(line.substr(equals + 1)));
    }
    return profile;
}

// The file as the system saves it; nothing when a UTF-16 file would have to hold a character it cannot.
std::optional<std::string> Save(const Profile& profile) {
    std::string body;
    for (const Section& section : profile.sections) {
        if (!section.name.empty()) body += "[" + section.name + "]\r\n";
        for (const Key& key : section.keys) {
            body += key.name;
            if (key.value) body += "=" + *key.value;
            body += "\r\n";
        }
    }
    switch (profile.encoding) {
        case Encoding::Ansi: return body;
        case Encoding::Utf8: return std::string(Utf8Mark) + body;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: break;
    }
    const bool little = profile.encoding == Encoding::Utf16Le;
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    bytes.reserve(2 + body.size() * 2);
    for (char c : body) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        bytes += little ? c : '\0';
        bytes += little ? '\0' : c;
    }
    return bytes;
}

// A stored value as a read with a 2048-character buffer gives it: matching quotes go, and the closing one is
// looked for only where the buffer could hold it.
std::string AsCopied(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        std::string copied(value.substr(1, MaxValue));
        if (value.size() - 1 <= MaxValue + 1) copied.pop_back();
        return copied;
    }
    return std::string(value.substr(0, MaxValue));
}

// Every lookup and edit goes to the first section of the name; "[]" names none.
template <typename Sections>
auto FirstSection(Sections& sections, std::string_view wanted) -> decltype(&sections.front()) {
    for (auto& section : sections) {
        if (!section.name.empty() && SameName(section.name, wanted)) return &section;
    }
    return nullptr;
}

std::optional<std::string> Lookup(const Profile& profile, const std::string& section, const std::string& key) {
    const Section* found = FirstSection(profile.sections, Wanted(section));
    if (found == nullptr) return std::nullopt;
    const std::string_view wanted = Wanted(key);
    for (const Key& candidate : found->keys) {
        if (SameName(candidate.name, wanted)) {
            if (!candidate.value) return std::nullopt;
            return AsCopied(*candidate.value);
        }
    }
    return std::nullopt;
}

std::string Saved(const Profile& profile, const std::string& unchanged) {
    std::optional<std::string> bytes = Save(profile);
    return bytes ? std::move(*bytes) : unchanged;
}

}  // namespace

std::optional<std::string> Read(const std::string& text, const std::string& section, const std::string& key) {
    return Lookup(Parse(text), section, key);
}

std::string Write(const std::string& text, const std::string& section, const std::string& key,
                  const std::string& value) {
    Profile profile = Parse(text);
    if (!profile.exact) return text;
    const std::string stored(TrimStart(UpToNul(value)));
    const std::string_view wantedKey = Wanted(key);
    if (Section* found = FirstSection(profile.sections, Wanted(section))) {
        for (Key& candidate : found->keys) {
            if (!SameName(candidate.name, wantedKey)) continue;
            if (candidate.value == stored) return text;
            candidate.value = stored;
            return Saved(profile, text);
        }
        found->keys.push_back(Key{std::string(TrimStart(UpToNul(key))), stored});
        return Saved(profile, text);
    }
    profile.sections.push_back(
        Section{std::string(TrimStart(UpToNul(section))), {Key{std::string(TrimStart(UpToNul(key))), stored}}});
    return Saved(profile, text);
}

std::string Remove(const std::string& text, const std::string& section, const std::string& key) {
    Profile profile = Parse(text);
    if (!profile.exact) return text;
    const std::string_view wantedSection = Wanted(section), wantedKey = Wanted(key);
    for (Section& candidate : profile.sections) {
        if (candidate.name.empty() || !SameName(candidate.name, wantedSection)) continue;
        for (auto it = candidate.keys.begin(); it != candidate.keys.end(); ++it) {
            if (!SameName(it->name, wantedKey)) continue;
            candidate.keys.erase(it);
            return Saved(profile, text);
        }
    }
    return text;
}

std::string AsRead(const std::string& value) {
    const std::string stored(TrimStart(UpToNul(value)));
    return AsCopied(Trim(std::string_view(stored).substr(0, stored.find_first_of("\r\n"))));
}

namespace {

// Names, and where each is first: sorted once, then searched by halves, so that comparing two texts key by key
// costs time in proportion to their size (times its logarithm), not to its square.
class FirstPlaces {
public:
    explicit FirstPlaces(std::vector<std::string> names) : names_(std::move(names)), order_(names_.size()) {
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
        const auto before = [this](std::size_t a, std::size_t b) {
            const int order = names_[a].compare(names_[b]);
            return order < 0 || (order == 0 && a < b);
        };
        // A heap sort: as quick here as the library's sort, and half its code.
        std::make_heap(order_.begin(), order_.end(), before);
        std::sort_heap(order_.begin(), order_.end(), before);
        // Of equal names the first place comes first, and only it is kept.
        const auto same = [this](std::size_t a, std::size_t b) { return names_[a] == names_[b]; };
        order_.erase(std::unique(order_.begin(), order_.end(), same), order_.end());
    }
    // The first place of the name, or npos.
    std::size_t Find(const std::string& name) const {
        const auto before = [this](std::size_t place, const std::string& wanted) { return names_[place] < wanted; };
        const auto it = std::lower_bound(order_.begin(), order_.end(), name, before);
        return it != order_.end() && names_[*it] == name ? *it : std::string::npos;
    }
    bool IsFirst(std::size_t place) const { return Find(names_[place]) == place; }
    const std::string& Name(std::size_t place) const { return names_[place]; }

private:
    std::vector<std::string> names_;
    std::vector<std::size_t> order_;  // places, sorted by name
};

std::string ShownName(const std::string& section, const std::string& key) {
    return UpperCaseAscii(Joined({section, "\n", key}));
}

// Every key a lookup can find, by its upper-cased "SECTION\nKEY" (no name holds a line break).
struct Shown {
    FirstPlaces names;
    std::vector<const Key*> keys;  // at the places of their names
};

Shown Index(const Profile& profile) {
    std::vector<std::string> sectionNames;
    for (const Section& section : profile.sections) sectionNames.push_back(UpperCaseAscii(section.name));
    const FirstPlaces sections(std::move(sectionNames));
    std::vector<std::string> names;
    std::vector<const Key*> keys;
    for (std::size_t i = 0; i < profile.sections.size(); ++i) {
        // A lookup finds only the first section of a name; "[]" names none.
        if (profile.sections[i].name.empty() || !sections.IsFirst(i)) continue;
        for (const Key& key : profile.sections[i].keys) {
            names.push_back(ShownName(sections.Name(i), key.name));
            keys.push_back(&key);
        }
    }
    return Shown{FirstPlaces(std::move(names)), std::move(keys)};
}

std::optional<std::string> Found(const Shown& shown, const std::string& section, const std::string& key) {
    const std::size_t place = shown.names.Find(ShownName(section, key));
    if (place == std::string::npos || !shown.keys[place]->value) return std::nullopt;
    return AsCopied(*shown.keys[place]->value);
}

}  // namespace

bool Representable(const std::string& text) { return Parse(text).exact; }

bool EditHolds(const std::string& before, const std::string& after, const std::string& section,
               const std::string& key, const std::string* value) {
    const Profile old = Parse(before);
    const Profile now = Parse(after);
    if (value != nullptr && Lookup(now, section, key) != AsRead(*value)) return false;
    const std::string_view editedSection = Wanted(section), editedKey = Wanted(key);
    const Shown oldShown = Index(old), nowShown = Index(now);
    // Every key either text shows, as the system lists them: named sections, no comments.
    for (const Profile* profile : {&old, &now}) {
        for (const Section& listed : profile->sections) {
            if (listed.name.empty()) continue;
            for (const Key& shown : listed.keys) {
                if (shown.name.empty() || shown.name.front() == ';') continue;
                if (SameName(listed.name, editedSection) && SameName(shown.name, editedKey)) continue;
                if (Found(oldShown, listed.name, shown.name) != Found(nowShown, listed.name, shown.name)) return false;
            }
        }
    }
    return true;
}

}  // namespace orv::ini
