#pragma once
// The ground a contract case stands on. A world owns the platform under test and a fresh scratch folder,
// lays out files and faults in it by its own means (never through the platform under test), and reads the
// result back the same way. Each case is written once against this and runs on every world.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Platform.h"

namespace orv::contract {

class World {
public:
    virtual ~World() = default;

    virtual Platform& Subject() = 0;
    // An empty folder made for this case alone: an absolute path with a drive letter, no final backslash.
    virtual const std::string& Scratch() const = 0;

    virtual void MakeFile(const std::string& path, const std::string& bytes) = 0;
    virtual void MakeFolder(const std::string& path) = 0;
    virtual void SetReadOnly(const std::string& path) = 0;
    // Another program holds the file open for writing, sharing nothing, until the world ends.
    virtual void HoldOpen(const std::string& path) = 0;
    // Another user renames the folder (to put a link in its place); false when that is refused.
    virtual bool RenameFolder(const std::string& path, const std::string& newPath) = 0;
    // Only this many bytes of file content fit on the disk from now on.
    virtual void LimitFreeSpace(std::size_t bytes) = 0;
    // Makes the folder the process's current folder (and its drive the current drive).
    virtual void EnterFolder(const std::string& path) = 0;
    // A top-level window of this class exists until the world ends.
    virtual void AddWindow(const std::string& className) = 0;
    // The program carries a data resource of this name holding these bytes.
    virtual void AddResource(const std::string& name, const std::string& bytes) = 0;

    // A program that, once the shell has started it, notes its parameters and its current folder.
    virtual std::string Recorder() = 0;
    // What the recorder noted, one "FOLDER|PARAMETERS" line per start; it waits for `expected` of them.
    virtual std::vector<std::string> Recorded(std::size_t expected) = 0;

    virtual bool HasFile(const std::string& path) = 0;
    virtual bool HasFolder(const std::string& path) = 0;
    virtual bool IsReadOnly(const std::string& path) = 0;
    // The file's bytes, even while it is held open; throws when there is no such file.
    virtual std::string Bytes(const std::string& path) = 0;
    // The names in a folder, upper-cased and sorted, each folder's name followed by a backslash.
    virtual std::vector<std::string> Entries(const std::string& folder) = 0;
};

// One implementation the cases run on: its name shows in every test name ("Memory/...", "Windows/...").
struct WorldKind {
    bool isWindows;
    std::unique_ptr<World> (*make)();
};
extern const WorldKind MemoryWorldKind;
extern const WorldKind WindowsWorldKind;

}  // namespace orv::contract
