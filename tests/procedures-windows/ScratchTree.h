#pragma once
// A host tree in a fresh folder under the system's temporary folder, removed again afterwards.
#include <windows.h>

#include <string>
#include <vector>

#include "PayloadItem.h"

namespace orv::test {

class ScratchTree {
public:
    ScratchTree();
    ~ScratchTree();
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    const std::string& Root() const { return root_; }
    void Folder(const std::string& relative) const;
    void File(const std::string& relative, const std::string& bytes) const;  // parents are made
    std::string Bytes(const std::string& relative) const;                    // "<missing>" when absent
    bool Exists(const std::string& relative) const;
    void ReadOnly(const std::string& relative, bool on) const;

private:
    std::string root_;
};

// Another program holding a file open for writing, as the host or an editor would.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

private:
    HANDLE handle_;
};

// A top-level window of the given class, as a running host program shows.
class TopLevelWindow {
public:
    explicit TopLevelWindow(const char* className);
    ~TopLevelWindow();
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;

private:
    HWND window_;
    std::string className_;
};

// Seven small items holding their own names, from records kept in memory.
std::vector<PayloadItem> SmallPayloadInMemory();

}  // namespace orv::test
