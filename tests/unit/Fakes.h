#pragma once
// Stand-ins for the window and the person in front of it, and a host tree to install into.
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "LineList.h"
#include "MemoryPlatform.h"
#include "Procedures.h"
#include "StatusView.h"
#include "Unattended.h"
#include "UserDialogs.h"

namespace orv::test {

// Starts as the window does: "ChemStation not found" showing, Install and Remove off, Edit user.mac on.
class RecordingView final : public StatusView {
public:
    void ShowPanel(Panel panel, bool visible) override { panels[panel] = visible; }
    void EnableButton(Button button, bool enabled) override { buttons[button] = enabled; }
    void SetVersionText(const std::string& text) override { versionText = text; }

    // The panel a person sees: the last one in stacking order that is visible.
    const char* TopPanel() const {
        static const std::pair<Panel, const char*> order[] = {
            {Panel::Version, "Version"},           {Panel::MSChemStation, "MSChemStation"},
            {Panel::NoChemStation, "NoChemStation"}, {Panel::AllInstalled, "AllInstalled"},
            {Panel::SomeInstalled, "SomeInstalled"}, {Panel::NotInstalled, "NotInstalled"}};
        for (const auto& [panel, name] : order) {
            if (panels.at(panel)) return name;
        }
        return "none";
    }

    std::map<Panel, bool> panels{{Panel::NoChemStation, true},  {Panel::MSChemStation, false},
                                 {Panel::NotInstalled, false},  {Panel::SomeInstalled, false},
                                 {Panel::AllInstalled, false},  {Panel::Version, false}};
    std::map<Button, bool> buttons{{Button::Install, false}, {Button::Remove, false}, {Button::EditUserMac, true}};
    std::string versionText;
};

struct ShownDialog {
    std::string text;
    DialogKind kind;
    DialogButtons buttons;
};

// Answers with the scripted answers in turn (OK for an OK box, No once the script is used up).
class ScriptedDialogs final : public UserDialogs {
public:
    ScriptedDialogs(Platform& platform, std::string root) : platform_(platform), root_(std::move(root)) {}

    DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) override {
        shown.push_back(ShownDialog{text, kind, buttons});
        if (buttons == DialogButtons::Ok) return AnswerOk;
        if (answers.empty()) return AnswerNo;
        const DialogAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void EditUserMac() override {
        ++edits;
        orv::EditUserMac(platform_, root_);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ShownDialog& d : shown) texts.push_back(d.text);
        return texts;
    }

    std::deque<DialogAnswer> answers;
    std::vector<ShownDialog> shown;
    int edits = 0;

private:
    Platform& platform_;
    std::string root_;
};

inline const std::string Root = "C:\\HPCHEM";
inline const std::string StartLine = "MACRO \"..\\OV\\OV.MCX\",GO";

// A host whose root chemstation.ini names, with its core folder.
inline void LayHost(MemoryPlatform& platform, const std::string& root = Root) {
    platform.AddFile("C:\\WINDOWS\\chemstation.ini", "[PCS]\r\nPath=" + root + "\r\n");
    platform.AddFolder(root + "\\core");
}

// Everything an install leaves, with the given version recorded.
inline void LayInstalled(MemoryPlatform& platform, const std::string& version = "A.03.02") {
    for (const PayloadEntry& entry : PayloadCatalogue) platform.AddFile(Root + entry.target, "old " + std::string(entry.name));
    platform.AddFile(Root + "\\core\\user.mac", StartLine + "\r\n");
    platform.AddFile(Root + "\\OV\\OV.INI", "[OV]\r\nVersion=" + version + "\r\n");
}

// Seven small items, each holding its own name, as the program's resources would.
inline std::vector<PayloadItem> SmallPayload(MemoryPlatform& platform) {
    for (const PayloadEntry& entry : PayloadCatalogue)
        platform.AddResource(entry.name, ProducePayloadRecord(std::string("new ") + entry.name + "\r\n"));
    return LoadPayload(platform);
}

// A sink that keeps nothing, for runs whose words do not matter.
struct NullSink final : LineSink {
    void WriteLine(const std::string&) override {}
};

// Every entry of a tree: path (upper case) to bytes; folders end with a backslash and hold "".
using Tree = std::map<std::string, std::string>;

inline Tree Snapshot(const MemoryPlatform& platform) {
    Tree tree;
    for (const std::string& entry : platform.Entries())
        tree[UpperCaseAscii(entry)] = entry.back() == '\\' ? std::string() : platform.FileBytes(entry);
    return tree;
}

// A host whose profile names four instrument folders under instrumentBase ("D:\INSTR\" gives
// D:\INSTR\1\ to D:\INSTR\4\), each with its two configuration files, and changed configuration files
// with the TOPDATS backup (and the CHROMTB one when asked).
inline void LayInstrumentedHost(MemoryPlatform& p, const std::string& instrumentBase, bool chromBackup) {
    std::string ini = "[PCS]\r\nPath=" + Root + "\r\n";
    for (int i = 1; i <= 4; ++i) {
        const std::string folder = instrumentBase + std::to_string(i) + "\\";
        ini += "[PCS," + std::to_string(i) + "]\r\n_INSTPATH$=" + folder + "\r\n";
        p.AddFile(folder + "conf_off.reg", "off " + std::to_string(i));
        p.AddFile(folder + "config.reg", "on " + std::to_string(i));
    }
    p.AddFile("C:\\WINDOWS\\chemstation.ini", ini);
    p.AddFolder(Root + "\\core");
    p.AddFile(Root + "\\core\\800\\TOPDATS.INI", "top changed");
    p.AddFile(Root + "\\core\\800\\TOPDATS.BAK", "top default");
    p.AddFile(Root + "\\core\\800\\CHROMTB.INI", "chrom changed");
    if (chromBackup) p.AddFile(Root + "\\core\\800\\CHROMTB.BAK", "chrom default");
}

}  // namespace orv::test
