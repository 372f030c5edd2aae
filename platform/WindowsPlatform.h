#pragma once
// The platform on a real Windows system: each operation is the ANSI call named in Platform.h, with the
// arguments given there, so that paths, profile lookups and error texts are exactly the system's own.
#include <string_view>

#include "Platform.h"
#include "WinHandle.h"

namespace orv {

class WindowsPlatform final : public Platform {
public:
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
    void LogEvent(EventKind kind, unsigned id, const std::string& text) override;
    void ShellOpen(const std::string& target, const char* parameters, const char* folder) override;
    bool RunsElevated() const override;
    std::string ResolvedPath(const std::string& path) override;
    std::string FullPath(const std::string& path) override;
    std::string SystemErrorText(unsigned long code) override;
    ImageBytes ProgramResource(const char* name) override;

private:
    bool RewriteProfile(const std::string& file, const char* section, const char* key, const std::string* value);
    // Puts a replacement written beside the target in its place in one step; throws EFCreateError.
    void PlaceReplacement(const std::string& path, const std::string& temp, bool exists, KeptSecurity kept);
    [[noreturn]] void ThrowOpenError(const std::string& path, unsigned long code);
    [[noreturn]] void ThrowLinkRefusal(const std::string& path);
    [[noreturn]] void ThrowCreateError(const std::string& path, unsigned long code);
    [[noreturn]] void ThrowFileError(const std::string& path, unsigned long code, bool open);

    const char* SoleRunName(SECURITY_ATTRIBUTES* attributes);
    [[noreturn]] void ThrowLockError(std::string_view what, std::string_view more, unsigned long code);

    KernelHandle soleRun_;
    KernelHandle holder_;
    std::string holderName_;
    HANDLE privateNamespace_ = nullptr;  // closed with the process, the namespace's names with it
    std::vector<FileHandle> heldFolders_;
};

}  // namespace orv
