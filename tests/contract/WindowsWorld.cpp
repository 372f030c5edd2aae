// The Windows world: a scratch folder under the user's temporary folder, laid out and read back with direct
// Win32 calls. Holding a file open is done from this process with a handle that shares nothing, which is
// what another program holding it looks like to the platform.
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ContractResource.h"
#include "LineList.h"
#include "WinHandle.h"
#include "WindowsPlatform.h"
#include "World.h"

namespace orv::contract {

namespace {

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what + " failed with code " + std::to_string(GetLastError()));
}

std::string ReadFrom(HANDLE file) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string bytes;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof block, &read, nullptr) && read > 0) bytes.append(block, read);
    return bytes;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    {
        FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
        if (search.Valid()) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = folder + "\\" + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search.Get(), &found));
        }
    }
    RemoveDirectoryA(folder.c_str());
}

class WindowsWorld final : public World {
public:
    WindowsWorld() {
        static int made = 0;
        char temp[MAX_PATH];
        const DWORD length = GetTempPathA(MAX_PATH, temp);
        Require(length > 0 && length < MAX_PATH, "GetTempPathA");
        scratch_ = std::string(temp, length) + "orvcontract-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++made);
        RemoveTree(scratch_);
        Require(CreateDirectoryA(scratch_.c_str(), nullptr), "CreateDirectoryA " + scratch_);
        char current[MAX_PATH];
        const DWORD currentLength = GetCurrentDirectoryA(MAX_PATH, current);
        startFolder_.assign(current, currentLength < MAX_PATH ? currentLength : 0);
    }

    ~WindowsWorld() override {
        held_.clear();
        for (HWND window : windows_) DestroyWindow(window);
        for (const std::string& name : classes_) UnregisterClassA(name.c_str(), GetModuleHandleA(nullptr));
        if (!startFolder_.empty()) SetCurrentDirectoryA(startFolder_.c_str());
        RemoveTree(scratch_);
    }

    Platform& Subject() override { return platform_; }
    const std::string& Scratch() const override { return scratch_; }

    void MakeFile(const std::string& path, const std::string& bytes) override {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        Require(file.Valid(), "creating " + path);
        DWORD written = 0;
        Require(bytes.empty() || (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                            nullptr) &&
                                  written == bytes.size()),
                "writing " + path);
    }

    void MakeFolder(const std::string& path) override {
        Require(CreateDirectoryA(path.c_str(), nullptr), "CreateDirectoryA " + path);
    }

    void SetReadOnly(const std::string& path) override {
        Require(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY), "SetFileAttributesA " + path);
    }

    void HoldOpen(const std::string& path) override {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        Require(file.Valid(), "holding " + path + " open");
        held_.emplace_back(path, std::move(file));
    }

    bool RenameFolder(const std::string& path, const std::string& newPath) override {
        return MoveFileA(path.c_str(), newPath.c_str()) != FALSE;
    }

    void LimitFreeSpace(std::size_t) override {
        throw std::logic_error("a Windows world cannot limit the free space of its disk");
    }

    void EnterFolder(const std::string& path) override {
        Require(SetCurrentDirectoryA(path.c_str()), "SetCurrentDirectoryA " + path);
    }

    void AddWindow(const std::string& className) override {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className.c_str();
        Require(RegisterClassA(&windowClass) != 0, "RegisterClassA " + className);
        classes_.push_back(className);
        HWND window = CreateWindowExA(0, className.c_str(), "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      instance, nullptr);
        Require(window != nullptr, "CreateWindowExA " + className);
        windows_.push_back(window);
    }

    void AddResource(const std::string& name, const std::string& bytes) override {
        // Resources are fixed when the program is built: only the one it was built with can be "added".
        if (name != ContractResourceName || bytes != ContractResourceBytes)
            throw std::logic_error("the Windows contract program carries only " + std::string(ContractResourceName));
    }

    // contract_recorder.exe, built beside this program; it appends to recorded.txt in its current folder.
    std::string Recorder() override {
        char self[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string path(self, length);
        return path.substr(0, path.find_last_of('\\') + 1) + "contract_recorder.exe";
    }
    std::vector<std::string> Recorded(std::size_t expected) override {
        // The shell starts the recorder and returns; the recorder notes its start a moment later.
        const std::string notes = scratch_ + "\\recorded.txt";
        std::vector<std::string> lines;
        for (int tries = 0; tries < 100; ++tries) {
            lines.clear();
            if (HasFile(notes)) {
                LineList list;
                list.SetText(Bytes(notes));
                for (std::size_t i = 0; i < list.Count(); ++i) lines.push_back(list.At(i));
            }
            if (lines.size() >= expected) break;
            Sleep(50);
        }
        return lines;
    }

    bool HasFile(const std::string& path) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    bool HasFolder(const std::string& path) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool IsReadOnly(const std::string& path) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    }

    std::string Bytes(const std::string& path) override {
        for (const auto& [heldPath, handle] : held_) {
            if (heldPath == path) return ReadFrom(handle.Get());
        }
        FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        Require(file.Valid(), "reading " + path);
        return ReadFrom(file.Get());
    }

    std::vector<std::string> Entries(const std::string& folder) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
        if (search.Valid()) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) name += "\\";
                names.push_back(UpperCaseAscii(name));
            } while (FindNextFileA(search.Get(), &found));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    WindowsPlatform platform_;
    std::string scratch_;
    std::string startFolder_;
    std::vector<std::pair<std::string, FileHandle>> held_;
    std::vector<std::string> classes_;
    std::vector<HWND> windows_;
};

std::unique_ptr<World> MakeWindowsWorld() { return std::make_unique<WindowsWorld>(); }

}  // namespace

const WorldKind WindowsWorldKind{true, &MakeWindowsWorld};

}  // namespace orv::contract
