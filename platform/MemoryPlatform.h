#pragma once
// A platform held in memory that behaves as Windows does for everything the installer asks: backslash
// paths with case-insensitive names, a current drive and folder, a Windows folder for bare profile names,
// read-only files, files held open by another program, a disk that fills, Windows error codes, profile
// files in the ini format, top-level window classes and program resources. Tests use it to lay out a host
// tree, inject faults and look at every byte afterwards.
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "LineList.h"
#include "Platform.h"

namespace orv {

class MemoryPlatform final : public Platform {
public:
    // Drive C:, current folder C:\WORK and Windows folder C:\WINDOWS, both existing.
    MemoryPlatform();

    // Platform
    std::string ReadProfileEntry(const std::string& file, const char* section, const char* key,
                                 const char* defaultValue) override;
    bool WriteProfileEntry(const std::string& file, const char* section, const char* key,
                           const std::string& value) override;
    void RemoveProfileEntry(const std::string& file, const char* section, const char* key) override;
    void FlushProfile(const std::string& file) override;
    bool FileIsPresent(const std::string& path) override;
    bool FolderIsPresent(const std::string& path) override;
    FolderHold HoldFolder(const std::string& path) override;
    void ReleaseFolders() override;
    bool RemoveFile(const std::string& path) override;
    bool CopyOver(const std::string& source, const std::string& target) override;
    void CreateFolder(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    WriteMode WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                             KeptSecurity kept = KeptSecurity::FromFolder) override;
    void EnumerateWindowClasses(WindowClassVisitor& visitor) override;
    std::vector<RunningProcess> RunningProcesses() override;
    bool ClaimSoleRun() override;
    std::string SoleRunHolder() override;
    void LogEvent(EventKind kind, unsigned id, const std::string& text) override {
        events_.push_back(Event{kind, id, text});
    }
    void ShellOpen(const std::string& target, const char* parameters, const char* folder) override;
    bool RunsElevated() const override;
    std::string ResolvedPath(const std::string& path) override;
    std::string FullPath(const std::string& path) override;
    std::string SystemErrorText(unsigned long code) override;
    ImageBytes ProgramResource(const char* name) override;

    // Laying out a world. Paths follow the same resolution rules as the operations; parents are created.
    void SetCurrentFolder(const std::string& path);
    void SetWindowsFolder(const std::string& path);
    const std::string& WindowsFolder() const { return windowsFolder_; }
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, const std::string& bytes);
    void SetReadOnly(const std::string& path, bool readOnly);
    // The entry is a reparse point: a junction or a symbolic link put there by someone else.
    void SetLink(const std::string& path, bool link);
    // The file has another name elsewhere (a hard link): writing through this one would change that file too.
    void SetHardLinked(const std::string& path, bool linked);
    // Another user renames a folder (to put a link in its place): false when the run holds it open.
    bool RenameFolder(const std::string& path, const std::string& newPath);
    // Another program holds the file open for writing: opening, replacing or deleting it is refused (32).
    void SetLocked(const std::string& path, bool locked);
    // This user may write the folder's files but not create new ones in it (Write without Modify).
    void SetCreateDenied(const std::string& folder, bool denied);
    // Room left for file content; a write that needs more fails with code 112. Unlimited at first.
    void SetFreeSpace(std::size_t bytes);
    void AddWindowClass(const std::string& className);
    // A process of any session; an empty image is one that could not be opened.
    void AddProcess(const std::string& name, const std::string& image);
    // The path a link (or a substituted drive) leads to, as ResolvedPath reports it for paths under `from`.
    void SetResolvesTo(const std::string& from, const std::string& to) { resolves_[UpperCaseAscii(from)] = to; }
    // Another run of the installer holds the machine-wide claim.
    void SetOtherRunActive(bool active) { otherRun_ = active; }
    // The run is elevated or SYSTEM; a standard user's at first.
    void SetElevated(bool elevated) { elevated_ = elevated; }
    void ClearWindowClasses();
    void AddResource(const std::string& name, const std::string& bytes);

    // Looking at the world.
    bool HasFile(const std::string& path) const;
    bool HasFolder(const std::string& path) const;
    // Throws std::out_of_range when there is no such file.
    std::string FileBytes(const std::string& path) const;
    bool IsReadOnly(const std::string& path) const;
    // Every entry as an absolute path in its stored letter case, folders ending with a backslash, sorted.
    std::vector<std::string> Entries() const;
    struct ShellCall {
        std::string target, parameters, folder;
    };
    const std::vector<ShellCall>& ShellCalls() const { return shellCalls_; }
    struct Event {
        EventKind kind;
        unsigned id;
        std::string text;
    };
    const std::vector<Event>& Events() const { return events_; }

    // Fault injection: called before every platform operation with the operation's name and first path;
    // a non-zero result makes that operation fail as Windows would with that error code.
    std::function<unsigned long(const char* operation, const std::string& path)> faultHook;
    // How many platform operations have been made.
    std::size_t OperationCount() const { return operations_; }

private:
    struct Node {
        std::string path;  // the absolute path as first created (letter case kept)
        bool folder = false;
        bool readOnly = false;
        bool locked = false;
        bool link = false;
        std::string bytes;
        bool createDenied = false;  // a folder where no file may be created
        bool hardLinked = false;
        bool held = false;  // a folder the run keeps open without delete sharing
    };
    struct Resolved {
        std::string key;      // upper-cased absolute path: the map key
        std::string display;  // absolute path in the caller's letter case
        std::string parentKey;
        bool valid = false;   // false for an empty or malformed path (code 123)
        bool folderOnly = false;  // a trailing backslash names a folder, never a file
    };

    Resolved Resolve(const std::string& path) const;
    std::string ProfilePath(const std::string& file) const;
    void DropLeftover(const std::string& path);
    // A file of one name that is no link: the only kind written, replaced or deleted through its name.
    static bool Plain(const Node* node) { return node == nullptr || (!node->link && !node->hardLinked); }
    bool LeftoverIsPlain(const std::string& path) const;
    void StoreFile(const Resolved& where, const char* data, std::size_t size, bool keepAttributes);
    // The ini text of a profile file, or empty when it is missing or unreadable.
    std::string ProfileText(const std::string& file);
    const Node* Find(const std::string& key) const;
    Node* Find(const std::string& key);
    const Node* Find(const Resolved& where) const;
    Node* Find(const Resolved& where);
    unsigned long Fault(const char* operation, const std::string& path);
    std::size_t UsedSpace() const;
    void MakeFolders(const Resolved& where);

    std::map<std::string, Node> nodes_;
    std::string currentFolder_;
    std::string windowsFolder_;
    std::size_t capacity_ = static_cast<std::size_t>(-1);
    std::vector<std::string> windowClasses_;
    std::vector<RunningProcess> processes_;
    bool otherRun_ = false;
    bool elevated_ = false;
    std::map<std::string, std::string> resolves_;
    std::map<std::string, std::string> resources_;
    std::vector<ShellCall> shellCalls_;
    std::vector<Event> events_;
    std::size_t operations_ = 0;
};

}  // namespace orv
