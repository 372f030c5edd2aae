#pragma once
// The few platform operations that the status and the user.mac edits use, on a real POSIX file system, so
// that they can be timed natively. Backslashes in the installer's paths become slashes; a write replaces
// the file in one step as on Windows (temporary beside it, flushed to the disk when asked, renamed over it).
// Everything else is refused: the benchmarks do not need it.
#include "Platform.h"

namespace orvbench {

class PosixFiles final : public orv::Platform {
public:
    explicit PosixFiles(bool flushWrites) : flushWrites_(flushWrites) {}

    std::string ReadProfileEntry(const std::string& file, const char* section, const char* key,
                                 const char* defaultValue) override;
    bool WriteProfileEntry(const std::string&, const char*, const char*, const std::string&) override;
    void RemoveProfileEntry(const std::string&, const char*, const char*) override;
    void FlushProfile(const std::string&) override {}
    bool FileIsPresent(const std::string& path) override;
    bool FolderIsPresent(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool CopyOver(const std::string&, const std::string&) override;
    void CreateFolder(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    orv::WriteMode WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                                  orv::KeptSecurity = orv::KeptSecurity::FromFolder) override;
    // Links, other processes, the run lock and the event log are no part of what is timed.
    orv::FolderHold HoldFolder(const std::string& path) override {
        return FolderIsPresent(path) ? orv::FolderHold::Held : orv::FolderHold::Missing;
    }
    void ReleaseFolders() override {}
    std::vector<orv::RunningProcess> RunningProcesses() override { return {}; }
    bool ClaimSoleRun() override { return true; }
    std::string SoleRunHolder() override { return {}; }
    void LogEvent(orv::EventKind, unsigned, const std::string&) override {}
    std::string ResolvedPath(const std::string& path) override { return path; }
    void EnumerateWindowClasses(orv::WindowClassVisitor&) override {}
    void ShellOpen(const std::string&, const char*, const std::string&) override;
    std::string FullPath(const std::string& path) override { return path; }
    std::string SystemErrorText(unsigned long code) override;
    bool RunsElevated() const override { return false; }
    orv::ImageBytes ProgramResource(const char*) override { return {}; }

private:
    bool flushWrites_;
};

// The installer's form of a path ("root\core\user.mac") as a POSIX path.
std::string PosixPath(const std::string& path);

}  // namespace orvbench
