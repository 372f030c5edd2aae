#pragma once
// Everything the installer asks of the operating system, and nothing more. The Windows implementation
// makes exactly the ANSI calls named beside each operation; the in-memory one behaves the same way for tests.
#include <cstddef>
#include <string>
#include <vector>

#include "StringCode.h"

namespace orv {

// Called once per top-level window with its class name (at most 254 characters).
class WindowClassVisitor {
public:
    virtual void Visit(const std::string& className) = 0;

protected:
    ~WindowClassVisitor() = default;
};

// A read-only block of bytes that lives as long as the program image (a resource).
struct ImageBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool found = false;
};

// Every file is written beside itself under this longer name first, then put in its place in one step; a
// write that was cut off may leave it behind.
inline constexpr const char* ReplacementSuffix = "~orv";

// How a whole file was written: replaced in one step, or rewritten in place (not atomic) in a folder where a
// standard user may write the file but not create one beside it.
enum class WriteMode { Replaced, InPlace };

// A running program: its file name, and the full path of its program file ("" when the process could not be
// opened to ask, as with the system's protected processes).
struct RunningProcess {
    unsigned long id = 0;
    std::string name;
    std::string image;
};

// The kinds of record in the Windows Application event log.
enum class EventKind { Information, Warning, Error };

// The event source the installer's records carry. It is not registered: each record's whole text is its one
// insertion string, which Event Viewer shows under "the following information was included with the event".
inline constexpr const char* EventSource = "OrvandelSetup";
// What the name given for the record of a run turned out to be, once opened without following a link.
struct LogFileFacts {
    bool diskFile = true;      // a file on a disk, not a pipe, a console or another device
    bool folder = false;
    bool link = false;         // a reparse point
    unsigned long names = 1;   // hard links
    bool ownerTrusted = true;  // owned by SYSTEM, Administrators or the user this process runs as
};

// Whose access list a replaced file gets. A file's old descriptor may come from a standard user who owned it
// (left by an earlier run in that user's session) and granted everyone the right to change it: a file written by
// SYSTEM must not keep that. Only user.mac, which sites secure by hand, asks to keep its own, and gets it only when
// SYSTEM, Administrators or TrustedInstaller own the old file.
enum class KeptSecurity { FromFolder, OldWhenTrusted };

// What a look at a folder that the run is about to write or delete in found.
enum class FolderHold {
    Held,     // a folder, now kept open until the platform ends: it can be neither renamed nor deleted
    Missing,  // nothing of that name (or not a folder)
    Refused,  // a reparse point (a junction, a symbolic link), or a folder that could not be opened to make sure
};

class Platform {
public:
    virtual ~Platform() = default;

    // Profile files. A bare file name means the file of that name in the Windows folder. Sections and keys are
    // the program's own names, C strings as the system takes them.
    // GetPrivateProfileStringA with a 2048-byte buffer: at most 2047 characters; the default when absent.
    virtual std::string ReadProfileEntry(const std::string& file, const char* section, const char* key,
                                         const char* defaultValue) = 0;
    // WritePrivateProfileStringA; false when the system refuses.
    virtual bool WriteProfileEntry(const std::string& file, const char* section, const char* key,
                                   const std::string& value) = 0;
    // WritePrivateProfileStringA with no value: the key goes. Failures pass in silence.
    virtual void RemoveProfileEntry(const std::string& file, const char* section, const char* key) = 0;
    // WritePrivateProfileStringA with no section, key or value: flushes the system's cached copy.
    virtual void FlushProfile(const std::string& file) = 0;

    // FindFirstFileA/FindClose: an existing entry that is not a folder. Never fails.
    virtual bool FileIsPresent(const std::string& path) = 0;
    // GetFileAttributesA: an existing folder. Never fails.
    virtual bool FolderIsPresent(const std::string& path) = 0;
    // CreateFileA with FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, sharing read and write but not
    // delete, then GetFileInformationByHandle and GetFileAttributesA: the folder itself, never where a link leads.
    // A held folder stays open until it is released, so the name cannot be given to another folder meanwhile.
    virtual FolderHold HoldFolder(const std::string& path) = 0;
    // CloseHandle for every folder held.
    virtual void ReleaseFolders() = 0;
    // DeleteFileA: true when the file was deleted. A file that is a reparse point or has more than one name
    // (hard links) is not deleted; nor is a leftover replacement beside it that is not a plain file.
    virtual bool RemoveFile(const std::string& path) = 0;
    // CopyFileA(source, target, FALSE), put in place in one step: true when the target now holds a copy of the
    // source; otherwise it is as it was. A target that is a reparse point or has more than one name is never
    // written through: false.
    virtual bool CopyOver(const std::string& source, const std::string& target) = 0;
    // CreateDirectoryA: one level; throws EInOutError with the text for the Windows error code.
    virtual void CreateFolder(const std::string& path) = 0;

    // All the file's bytes, unchanged; throws EFOpenError when the file cannot be opened for reading.
    virtual std::string ReadWholeFile(const std::string& path) = 0;
    // Replaces the file with exactly these bytes in one step: a temporary file beside the target is written
    // and flushed, then moved over it. On any failure the target keeps its old bytes (or stays absent) and
    // the temporary is gone. Throws EFCreateError when the target cannot be created or replaced (folder
    // missing, read-only, in use, a reparse point, more than one name, a leftover temporary that is not a plain
    // file) and EWriteError when the write falls short (disk full). The replacement takes the access list its
    // folder gives it, unless asked to keep the old file's and that file belongs to the system (see KeptSecurity).
    // Where the temporary may not be created (access denied) but the file itself may be written, a run that is
    // neither elevated nor SYSTEM rewrites the file in place and says so; an elevated one is refused there (a
    // folder that denies a privileged run what it allows the file is a trap, not a lack of rights).
    virtual WriteMode WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                                     KeptSecurity kept = KeptSecurity::FromFolder) = 0;

    // EnumWindows and GetClassNameA: the class name of every top-level window of this desktop.
    virtual void EnumerateWindowClasses(WindowClassVisitor& visitor) = 0;
    // CreateToolhelp32Snapshot: every process of the machine, in every session, but this one, with the path of its
    // program (QueryFullProcessImageNameA from Vista on, the path of its first module on XP).
    virtual std::vector<RunningProcess> RunningProcesses() = 0;
    // CreateMutexA: true when no other run of the installer, in any session, holds the machine's one-run lock.
    // From Vista on an elevated run's lock lives in a private namespace bounded by Administrators, where a
    // standard user cannot make an object of its name; otherwise (XP, a run without elevation) it is
    // "Global\Tovrenik.Orvandel.Setup". Throws Exception, naming the error code, when the lock cannot be made
    // (the name taken by another kind of object, say): a run never goes on without it. The claim lasts as long
    // as this object.
    virtual bool ClaimSoleRun() = 0;
    // RegisterEventSourceA(no server, EventSource), ReportEventA with the text as the one string,
    // DeregisterEventSource: one record in the Application log. Failures pass in silence.
    virtual void LogEvent(EventKind kind, unsigned id, const std::string& text) = 0;
    // After a refused claim: who holds the lock ("process 1234 (OrvandelSetup.exe) of user LAB\\smith"), "" when
    // that cannot be found.
    virtual std::string SoleRunHolder() = 0;
    // ShellExecuteA(no owner, "open", target, parameters, folder, SW_SHOWNORMAL); the result is not examined. The
    // parameters and folder ("" for none) come as the C strings the system takes.
    virtual void ShellOpen(const std::string& target, const char* parameters, const char* folder) = 0;

    // GetTokenInformation(TokenElevation), else (XP) CheckTokenMembership of Administrators; TokenUser: true when
    // the process is elevated or runs as SYSTEM.
    virtual bool RunsElevated() const = 0;

    // GetFinalPathNameByHandleA of the opened file or folder: the path with links and substituted drives
    // resolved; the path as given where that cannot be asked (XP, a missing file).
    virtual std::string ResolvedPath(const std::string& path) = 0;
    // GetFullPathNameA: the absolute form of a path, as the error messages show it.
    virtual std::string FullPath(const std::string& path) = 0;
    // FormatMessageA's text for a Windows error code, trailing blanks, line breaks and full stops removed.
    virtual std::string SystemErrorText(unsigned long code) = 0;

    // A named read-only data resource of the program (the payload records).
    virtual ImageBytes ProgramResource(const char* name) = 0;
};

}  // namespace orv
