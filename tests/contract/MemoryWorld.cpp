// The in-memory world: the platform's own set-up and inspection calls lay out and read back the scratch tree.
#include <algorithm>

#include "LineList.h"
#include "MemoryPlatform.h"
#include "World.h"

namespace orv::contract {

namespace {

class MemoryWorld final : public World {
public:
    MemoryWorld() { platform_.AddFolder(scratch_); }

    Platform& Subject() override { return platform_; }
    const std::string& Scratch() const override { return scratch_; }

    void MakeFile(const std::string& path, const std::string& bytes) override { platform_.AddFile(path, bytes); }
    void MakeFolder(const std::string& path) override { platform_.AddFolder(path); }
    void SetReadOnly(const std::string& path) override { platform_.SetReadOnly(path, true); }
    void HoldOpen(const std::string& path) override { platform_.SetLocked(path, true); }
    bool RenameFolder(const std::string& path, const std::string& newPath) override {
        return platform_.RenameFolder(path, newPath);
    }
    void LimitFreeSpace(std::size_t bytes) override { platform_.SetFreeSpace(bytes); }
    void EnterFolder(const std::string& path) override { platform_.SetCurrentFolder(path); }
    void AddWindow(const std::string& className) override { platform_.AddWindowClass(className); }
    void AddResource(const std::string& name, const std::string& bytes) override {
        platform_.AddResource(name, bytes);
    }

    // The in-memory shell starts nothing of its own: a start of the recorder is a call that names it.
    std::string Recorder() override { return "C:\\Tools\\RECORDER.EXE"; }
    std::vector<std::string> Recorded(std::size_t) override {
        std::vector<std::string> lines;
        for (const auto& call : platform_.ShellCalls()) {
            if (UpperCaseAscii(call.target) == UpperCaseAscii(Recorder()))
                lines.push_back(call.folder + "|" + call.parameters);
        }
        return lines;
    }

    bool HasFile(const std::string& path) override { return platform_.HasFile(path); }
    bool HasFolder(const std::string& path) override { return platform_.HasFolder(path); }
    bool IsReadOnly(const std::string& path) override { return platform_.IsReadOnly(path); }
    std::string Bytes(const std::string& path) override { return platform_.FileBytes(path); }

    std::vector<std::string> Entries(const std::string& folder) override {
        const std::string prefix = UpperCaseAscii(folder) + "\\";
        std::vector<std::string> names;
        for (const std::string& entry : platform_.Entries()) {
            const std::string upper = UpperCaseAscii(entry);
            if (upper.size() <= prefix.size() || upper.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string rest = upper.substr(prefix.size());
            const std::size_t slash = rest.find('\\');
            if (slash == std::string::npos || slash == rest.size() - 1) names.push_back(rest);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    MemoryPlatform platform_;
    std::string scratch_ = "C:\\Scratch";
};

std::unique_ptr<World> MakeMemoryWorld() { return std::make_unique<MemoryWorld>(); }

}  // namespace

const WorldKind MemoryWorldKind{false, &MakeMemoryWorld};

}  // namespace orv::contract
