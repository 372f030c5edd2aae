#include "AppText.h"

namespace orv {

void LowerCaseAscii(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
    }
}

std::string TitleFromModulePath(const std::string& path, LowerCaseFunction lower) {
    const std::size_t slash = path.rfind('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    if (name.size() > 1) lower(&name[1]);
    return name;
}

std::string WithoutAccessMarks(const std::string& caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size()) break;
        plain += caption[i];
    }
    return plain;
}

std::string DialogClipboardText(const std::string& title, const std::string& text,
                                std::span<const std::string> captions) {
    static const char rule[] = "---------------------------\r\n";
    std::string clip = rule;
    clip += title;
    clip += "\r\n";
    clip += rule;
    for (char c : text) {
        if (c == '\n') clip += '\r';
        clip += c;
    }
    clip += "\r\n";
    clip += rule;
    for (const std::string& caption : captions) (clip += WithoutAccessMarks(caption)) += "   ";
    clip += "\r\n";
    clip += rule;
    return clip;
}

}  // namespace orv
