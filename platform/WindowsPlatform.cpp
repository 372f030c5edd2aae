#include "WindowsPlatform.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <sddl.h>

#include <cstring>

#include <new>
#include <optional>
#include <utility>

#include "Exceptions.h"
#include "IniText.h"
#include "JoinedText.h"
#include "LineList.h"
#include "ProcessToken.h"
#include "WinHandle.h"

namespace orv {

// Literal pieces of a joined text as views: their lengths are known when the program is built.
using namespace std::string_view_literals;

namespace {

// "win.ini" rather than "C:\WINDOWS\win.ini": the system looks for it in the Windows folder.
bool IsBareName(const std::string& file) { return file.find_first_of("\\/:") == std::string::npos; }

// Where a replacement is written before it is moved over the target: beside it, so the move is a rename
// on one volume. A leftover from an earlier run that died half-way carries the same name and is taken over.
std::string ReplacementPath(const std::string& target) { return target + ReplacementSuffix; }

// What rewriting a file in place with CREATE_ALWAYS refuses; a move would replace some of these (Wine replaces
// read-only files), so a replacement refuses them itself.
constexpr DWORD NotReplaceable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

// The entry itself, never where a link leads. A handle open for its attributes alone denies nobody anything
// (the system checks sharing only against access to data), so one that must keep others out asks for more.
FileHandle OpenEntry(const std::string& path, DWORD access, DWORD share) {
    return FileHandle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// A name that leads elsewhere (a junction, a symbolic link, a mount point) or that shares its file with another
// name (a hard link): writing or deleting through it would change a file that someone else chose. The path's own
// attributes are asked too, since an open may follow a link where the system ignores the flag (Wine does).
bool LeadsElsewhere(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
    FileHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    BY_HANDLE_FILE_INFORMATION info;
    if (!entry.Valid() || !GetFileInformationByHandle(entry.Get(), &info)) return false;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || info.nNumberOfLinks > 1;
}

// A leftover replacement is taken away only when it is a plain file of one name: deleting through an
// object-manager link, or a folder's link, is what an attacker would have prepared.
bool LeftoverIsPlain(const std::string& temp) {
    const DWORD attributes = GetFileAttributesA(temp.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !LeadsElsewhere(temp);
}

FileHandle OpenReplacement(const std::string& temp) {
    FileHandle file(CreateFileA(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() && GetLastError() == ERROR_FILE_EXISTS && LeftoverIsPlain(temp) && DeleteFileA(temp.c_str())) {
        file.Reset(CreateFileA(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return file;
}

// A virus scanner opens a newly written program or library for a moment after it is closed, and a backup
// agent may hold a file briefly: a sharing or lock violation is waited out, up to about two seconds a file,
// before it counts. The last error is the attempt's own when this gives up.
template <typename Attempt>
bool Retrying(Attempt attempt) {
    DWORD waited = 0;
    for (DWORD pause = 20;; pause = pause < 400 ? pause * 2 : 400) {
        if (attempt()) return true;
        const DWORD code = GetLastError();
        const bool passing = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
        if (!passing || waited >= 2000) {
            SetLastError(code);
            return false;
        }
        Sleep(pause);
        waited += pause;
    }
}

// What the replaced file had of its own goes onto its replacement before the move: its attributes (archive, not
// content-indexed) and, when asked and only from a file the system owns, its security descriptor (owner, group
// and permissions); otherwise the replacement keeps the access list its folder gave it when it was created. The
// system's ReplaceFileA merges these too, but it is no single step: under Wine it deletes the old file before it
// renames the new one, and a run cut off in between left neither (the crash tests saw it, and a following install
// then lost the site's own user.mac lines). What cannot be carried over (another owner without the right to set
// it, alternate streams) is left, as ReplaceFileA does when told to ignore merge errors.
bool OwnedBySystem(PSID owner) {
    if (IsWellKnownSid(owner, WinLocalSystemSid) || IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) return true;
    PSID trustedInstaller = nullptr;
    if (!ConvertStringSidToSidA("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", &trustedInstaller))
        return false;
    const bool same = EqualSid(owner, trustedInstaller) != FALSE;
    LocalFree(trustedInstaller);
    return same;
}

void KeepWhatIsItsOwn(const std::string& replaced, DWORD attributes, const std::string& replacement,
                      KeptSecurity kept) {
    constexpr DWORD carried = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    SetFileAttributesA(replacement.c_str(), (attributes & carried) != 0 ? attributes & carried : FILE_ATTRIBUTE_NORMAL);
    if (kept != KeptSecurity::OldWhenTrusted) return;
    constexpr SECURITY_INFORMATION all =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    GetFileSecurityA(replaced.c_str(), all, nullptr, 0, &needed);
    if (needed == 0) return;
    std::string descriptor(needed, '\0');
    if (!GetFileSecurityA(replaced.c_str(), all, descriptor.data(), needed, &needed)) return;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) || owner == nullptr || !OwnedBySystem(owner))
        return;
    if (!SetFileSecurityA(replacement.c_str(), all, descriptor.data()))
        SetFileSecurityA(replacement.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

// The value of a key as the system reads it, or nothing when it is missing: two defaults tell the two apart.
std::optional<std::string> SystemValue(const std::string& file, const char* section, const char* key) {
    char value[2048];
    DWORD length = GetPrivateProfileStringA(section, key, "\x01", value, 2048, file.c_str());
    if (std::string(value, length) != "\x01") return std::string(value, length);
    length = GetPrivateProfileStringA(section, key, "\x02", value, 2048, file.c_str());
    if (std::string(value, length) == "\x02") return std::nullopt;
    return std::string(value, length);
}

// A list of NUL-ended strings the system fills in, in a buffer grown until it fits; false when it never does.
template <typename Fill>
bool SystemList(Fill fill, std::vector<std::string>& strings) {
    for (DWORD size = 4096; size <= (DWORD{1} << 24); size *= 4) {
        std::string buffer(size, '\0');
        const DWORD length = fill(buffer.data(), size);
        if (length + 2 >= size) continue;  // cut short
        for (std::size_t at = 0; at < length;) {
            const std::size_t end = buffer.find('\0', at);
            if (end > at) strings.push_back(buffer.substr(at, end - at));
            at = end + 1;
        }
        return true;
    }
    return false;
}

// Every key the system shows in the file, as section and key: the named sections' keys, comments left out.
bool ListedKeys(const std::string& file, std::vector<std::pair<std::string, std::string>>& keys) {
    std::vector<std::string> sections;
    const auto names = [&](char* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesA(buffer, size, file.c_str());
    };
    if (!SystemList(names, sections)) return false;
    for (const std::string& section : sections) {
        std::vector<std::string> lines;
        const auto entries = [&](char* buffer, DWORD size) {
            return GetPrivateProfileSectionA(section.c_str(), buffer, size, file.c_str());
        };
        if (!SystemList(entries, lines)) return false;
        for (const std::string& line : lines) {
            const std::string key = TrimBlanks(line.substr(0, line.find('=')));
            if (!key.empty() && key[0] != ';') keys.emplace_back(section, key);
        }
    }
    return true;
}

bool SameName(const std::string& a, const std::string& b) {
    return UpperCasedEqual(TrimmedView(a), TrimmedView(b));
}

// The system's edit of the copy is taken only when it reads back as asked: the key gives the value written (after
// a removal a second key of the name may show), and every other key reads as in the original. A write cut short
// by a full disk fails this, and so does an edit that would move keys (the system drops a "[]" header, and the
// keys below it join the section above).
bool EditHolds(const std::string& original, const std::string& copy, const std::string& section,
               const std::string& key, const std::string* value, Platform& platform) {
    if (value != nullptr && SystemValue(copy, section.c_str(), key.c_str()) != ini::AsRead(*value)) return false;
    // Four reads of the system's a key, each of the whole file, would make a large file's check take the square
    // of its size: a text the byte model reads as the system does (measured so on random files) is compared by
    // it, in one pass. Only a UTF-16 file with characters beyond ANSI is asked of the system key by key.
    const bool originalThere = GetFileAttributesA(original.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::string before = originalThere ? platform.ReadWholeFile(original) : std::string();
    const std::string after = platform.ReadWholeFile(copy);
    if (ini::Representable(before) && ini::Representable(after))
        return ini::EditHolds(before, after, section, key, value);
    std::vector<std::pair<std::string, std::string>> keys;
    if (!ListedKeys(original, keys) || !ListedKeys(copy, keys)) return false;
    for (const auto& [listedSection, listedKey] : keys) {
        if (SameName(listedSection, section) && SameName(listedKey, key)) continue;
        const char *s = listedSection.c_str(), *k = listedKey.c_str();
        if (SystemValue(original, s, k) != SystemValue(copy, s, k))
            return false;
    }
    return true;
}

// Rewrites an open file from its start and flushes it; throws EWriteError when that falls short.
void WriteInPlace(FileHandle& file, const char* data, std::size_t size) {
    DWORD written = 0;
    const bool complete =
        SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
        (size == 0 || (WriteFile(file.Get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size)) &&
        SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get());
    if (!file.Close() || !complete) throw EWriteError(StreamWriteErrorText());
}

// 0 when a file may be put in the place of this one (or of nothing), else the code the rewrite in place would
// have given. That rewrite refuses read-only, hidden and system files and folders, but a move replaces some of
// them (Wine replaces read-only files): those are refused here, with the same code. Another program that has
// the file open would otherwise only be noticed by the move, after the whole write, and with a less telling
// code: it is asked for the way the rewrite in place would have, and the file is left open for writing in probe.
DWORD Replaceable(const std::string& path, bool& exists, FileHandle& probe) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) return 0;
    if ((attributes & NotReplaceable) != 0) return ERROR_ACCESS_DENIED;
    Retrying([&] {
        probe.Reset(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return probe.Valid();
    });
    return probe.Valid() ? 0 : GetLastError();
}

bool FlushedToDisk(const std::string& path) {
    FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && FlushFileBuffers(file.Get()) && file.Close();
}

// The class names, each ended by a NUL, gathered first: the visitor may throw, and an exception must not
// unwind through the system's frames, so it is called once the system has returned.
struct EnumState {
    std::string names;
    bool outOfMemory = false;
};

BOOL CALLBACK CollectClassName(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    char name[255];
    // A window that vanished mid-way has no class name; an empty one matches nothing.
    const int length = GetClassNameA(window, name, 255);
    try {
        state->names.append(name, length > 0 ? static_cast<std::size_t>(length) : 0);
        state->names += '\0';
    } catch (...) {
        state->outOfMemory = true;
        return FALSE;
    }
    return TRUE;
}

using QueryImageName = BOOL(WINAPI*)(HANDLE process, DWORD flags, LPSTR name, PDWORD size);
constexpr DWORD QueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION, Vista and later

// The path of a process's program file; "" when the process cannot be opened to ask.
std::string ImagePath(DWORD id, QueryImageName query) {
    if (query != nullptr) {
        KernelHandle process(OpenProcess(QueryLimitedInformation, FALSE, id));
        char path[MAX_PATH * 2];
        DWORD size = sizeof path;
        if (process.Valid() && query(process.Get(), 0, path, &size)) return std::string(path, size);
        return std::string();
    }
    // Windows XP: the first module of a process is its program.
    FileHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id));
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    if (modules.Valid() && Module32First(modules.Get(), &module)) return module.szExePath;
    return std::string();
}

// Machine-wide: "Global\" reaches every session, the service session of a SYSTEM run included.
constexpr const char* GlobalSoleRunName = "Global\\Tovrenik.Orvandel.Setup";
// An elevated run's lock, in a namespace only a member of Administrators can make or open (Vista and later).
constexpr const char* PrivateNamespace = "Tovrenik.Orvandel";
constexpr const char* PrivateSoleRunName = "Tovrenik.Orvandel\\Setup";
// Beside the lock, the run that holds it names itself: "process 1234 (C:\\...\\OrvandelSetup.exe) of user x".
constexpr std::string_view HolderSuffix = ".Holder";
constexpr DWORD HolderSize = 512;

using CreateBoundaryDescriptorFn = HANDLE(WINAPI*)(LPCSTR name, ULONG flags);
using AddSidToBoundaryFn = BOOL(WINAPI*)(HANDLE* boundary, PSID sid);
using CreatePrivateNamespaceFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES attributes, LPVOID boundary, LPCSTR alias);
using OpenPrivateNamespaceFn = HANDLE(WINAPI*)(LPVOID boundary, LPCSTR alias);

template <typename Function>
Function Kernel32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// Full access for SYSTEM and Administrators, nothing for anyone else.
struct AdminsOnly {
    AdminsOnly() {
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;GA;;;SY)(A;;GA;;;BA)", SDDL_REVISION_1,
                                                             &descriptor, nullptr);
        attributes.nLength = sizeof attributes;
        attributes.lpSecurityDescriptor = descriptor;
        attributes.bInheritHandle = FALSE;
    }
    ~AdminsOnly() { LocalFree(descriptor); }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{};
};

}  // namespace

std::string WindowsPlatform::ReadProfileEntry(const std::string& file, const char* section, const char* key,
                                              const char* defaultValue) {
    char value[2048];
    const DWORD length =
        GetPrivateProfileStringA(section, key, defaultValue, value, 2048, file.c_str());
    return std::string(value, length);
}

// The system's profile functions rewrite a file in place: a full disk or a cut-off run can leave it short while
// the call reports success. A profile given by its path is therefore copied beside itself, the system edits the
// copy, and the copy is checked and put in place in one step, like every other file the program writes; the edit
// stays the system's own, whatever the file holds (its encoding too). A bare name stays with the system, which
// knows where (and whether in the registry) it lives. False when the edit cannot be made or would not hold.
bool WindowsPlatform::RewriteProfile(const std::string& file, const char* section, const char* key,
                                     const std::string* value) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    const bool present = attributes != INVALID_FILE_ATTRIBUTES;
    if (!present && value == nullptr) return true;  // nothing to remove
    // Refused as the in-place rewrite would refuse them, although the move would replace some.
    if (present && (attributes & NotReplaceable) != 0) return false;
    if (present && LeadsElsewhere(file)) return false;
    const std::string copy = ReplacementPath(file);
    if (!LeftoverIsPlain(copy)) return false;
    DeleteFileA(copy.c_str());  // a leftover of a run that was cut off
    // Nothing to do, and so nothing that a full disk could stop.
    if (present && value != nullptr && SystemValue(file, section, key) == ini::AsRead(*value)) return true;

    bool placed = false;
    // The copy is a new file: a name put there since the look above (a hard link) is not written through.
    const auto makeCopy = [&] {
        if (present) return CopyFileA(file.c_str(), copy.c_str(), TRUE) != FALSE;
        return FileHandle(CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr)).Valid();
    };
    if (Retrying(makeCopy)) {
        const BOOL written =
            WritePrivateProfileStringA(section, key, value != nullptr ? value->c_str() : nullptr, copy.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.c_str());  // out of the system's cache
        try {
            const bool holds = written && EditHolds(file, copy, section, key, value, *this);
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.c_str());
            if (holds && present && ReadWholeFile(copy) == ReadWholeFile(file)) {
                placed = true;  // the system changed nothing
            } else if (holds && FlushedToDisk(copy)) {
                PlaceReplacement(file, copy, present, KeptSecurity::FromFolder);
                placed = true;
            }
        } catch (const Exception&) {
            // Unreadable, or not placed: the edit does not hold, as reported below. The copy leaves the cache
            // all the same.
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.c_str());
        }
    }
    if (LeftoverIsPlain(copy)) DeleteFileA(copy.c_str());  // unless it took the file's place
    // Whatever the system still holds of the old file is stale now.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    return placed;
}

bool WindowsPlatform::WriteProfileEntry(const std::string& file, const char* section, const char* key,
                                        const std::string& value) {
    if (IsBareName(file)) return WritePrivateProfileStringA(section, key, value.c_str(), file.c_str()) != FALSE;
    return RewriteProfile(file, section, key, &value);
}

void WindowsPlatform::RemoveProfileEntry(const std::string& file, const char* section, const char* key) {
    if (IsBareName(file)) {
        WritePrivateProfileStringA(section, key, nullptr, file.c_str());
        return;
    }
    RewriteProfile(file, section, key, nullptr);
}

void WindowsPlatform::FlushProfile(const std::string& file) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

bool WindowsPlatform::FileIsPresent(const std::string& path) {
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(path.c_str(), &found));
    return search.Valid() && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WindowsPlatform::FolderIsPresent(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FolderHold WindowsPlatform::HoldFolder(const std::string& path) {
    // No delete sharing: while this handle is open the folder can be neither renamed nor deleted, so its name
    // cannot be given to a link after this look.
    FileHandle folder =
        OpenEntry(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FolderHold::Missing;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? FolderHold::Refused : FolderHold::Missing;
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder.Valid() || !GetFileInformationByHandle(folder.Get(), &info)) return FolderHold::Refused;
    const DWORD seen = attributes | info.dwFileAttributes;
    if ((seen & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return FolderHold::Refused;
    heldFolders_.push_back(std::move(folder));
    return FolderHold::Held;
}

void WindowsPlatform::ReleaseFolders() { heldFolders_.clear(); }

bool WindowsPlatform::RemoveFile(const std::string& path) {
    // A write of this file that was cut off (power loss, a killed run) may have left its replacement
    // beside it; once the file goes, nothing else would ever take that leftover away.
    const std::string leftover = ReplacementPath(path);
    if (LeftoverIsPlain(leftover)) DeleteFileA(leftover.c_str());
    if (LeadsElsewhere(path)) return false;
    return Retrying([&] { return DeleteFileA(path.c_str()) != FALSE; });
}

// A backup goes back over its configuration file the way every other file is written: copied beside it,
// flushed, and moved over it in one step. CopyFileA straight onto the file rewrites it in place, and a run cut
// off half-way left it short.
bool WindowsPlatform::CopyOver(const std::string& source, const std::string& target) {
    if (LeadsElsewhere(target)) return false;
    bool exists = false;
    FileHandle probe;
    if (Replaceable(target, exists, probe) != 0) return false;
    const std::string copy = ReplacementPath(target);
    if (!LeftoverIsPlain(copy)) return false;
    bool placed = Retrying([&] { return CopyFileA(source.c_str(), copy.c_str(), FALSE) != FALSE; });
    // A standard user with Write but not Modify on the folder: copied over in place, as WriteWholeFile does.
    if (!placed && GetLastError() == ERROR_ACCESS_DENIED && probe.Valid() && !RunsElevated()) {
        probe.Close();
        return Retrying([&] { return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE; });
    }
    probe.Close();  // it would stand in the way of the move
    // The copy takes the backup's attributes: a read-only one could not be flushed.
    const DWORD attributes = GetFileAttributesA(copy.c_str());
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    placed = placed && FlushedToDisk(copy);
    if (placed && !exists) SetFileAttributesA(copy.c_str(), attributes);
    try {
        if (placed) PlaceReplacement(target, copy, exists, KeptSecurity::FromFolder);
    } catch (const Exception&) {
        placed = false;  // the file is as it was
    }
    if (LeftoverIsPlain(copy)) DeleteFileA(copy.c_str());  // unless it took the file's place
    return placed;
}

void WindowsPlatform::CreateFolder(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr)) throw EInOutError(InOutErrorText(GetLastError()));
}

std::string WindowsPlatform::ReadWholeFile(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) ThrowOpenError(path, GetLastError());
    SetLastError(NO_ERROR);  // a length of 4 GiB - 1 looks like failure; only the code tells them apart
    const DWORD size = SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    if (size == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) ThrowOpenError(path, GetLastError());
    SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    std::string bytes(size, '\0');
    if (size == 0) return bytes;
    // Content we did not fully get would be edited and saved back as if it were the file: refuse it.
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), size, &read, nullptr)) ThrowOpenError(path, GetLastError());
    if (read != size) ThrowOpenError(path, ERROR_HANDLE_EOF);
    return bytes;
}

// The file is not rewritten in place: a crash or a full disk half-way through would leave the user's start-up
// macro cut short. The bytes go to a temporary file beside it, which is put in its place in one step; only a
// standard user who may not create that temporary is left the in-place write, and is told.
WriteMode WindowsPlatform::WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                                          KeptSecurity kept) {
    // An empty name would put the temporary file in the current folder; creating "" gives code 3.
    if (path.empty()) ThrowCreateError(path, ERROR_PATH_NOT_FOUND);
    // Checked before anything opens the file, which would follow the link.
    if (LeadsElsewhere(path)) ThrowLinkRefusal(path);

    bool exists = false;
    FileHandle probe;
    if (const DWORD code = Replaceable(path, exists, probe)) ThrowCreateError(path, code);

    const std::string temp = ReplacementPath(path);
    if (!LeftoverIsPlain(temp)) ThrowLinkRefusal(temp);
    FileHandle file = OpenReplacement(temp);
    if (!file.Valid()) {
        const DWORD code = GetLastError();
        // A standard user with Write but not Modify on the folder: the file itself, open for writing already,
        // is rewritten in place, as the program always did before it replaced files in one step.
        if (code == ERROR_ACCESS_DENIED && probe.Valid() && !RunsElevated()) {
            WriteInPlace(probe, data, size);
            return WriteMode::InPlace;
        }
        ThrowCreateError(path, code);
    }
    probe.Close();  // it would stand in the way of the move

    DWORD written = 0;
    const bool complete = size == 0 || (WriteFile(file.Get(), data, static_cast<DWORD>(size), &written, nullptr) &&
                                        written == size);
    const bool flushed = complete && FlushFileBuffers(file.Get());
    const bool closed = file.Close();
    if (!complete || !flushed || !closed) {
        DeleteFileA(temp.c_str());
        throw EWriteError(StreamWriteErrorText());
    }

    PlaceReplacement(path, temp, exists, kept);
    return WriteMode::Replaced;
}

// An existing file keeps what is its own (KeepWhatIsItsOwn); the move that puts the replacement in place is
// one step. On failure the replacement is gone and the target as it was.
void WindowsPlatform::PlaceReplacement(const std::string& path, const std::string& temp, bool exists,
                                       KeptSecurity kept) {
    if (exists) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) KeepWhatIsItsOwn(path, attributes, temp, kept);
    }
    const bool placed = Retrying([&] {
        return MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!placed) {
        const DWORD code = GetLastError();
        DeleteFileA(temp.c_str());
        ThrowCreateError(path, code);
    }
}

void WindowsPlatform::EnumerateWindowClasses(WindowClassVisitor& visitor) {
    EnumState state;
    EnumWindows(CollectClassName, reinterpret_cast<LPARAM>(&state));
    if (state.outOfMemory) throw std::bad_alloc();
    for (std::size_t start = 0; start < state.names.size();) {
        const std::size_t end = state.names.find('\0', start);
        visitor.Visit(state.names.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<RunningProcess> WindowsPlatform::RunningProcesses() {
    std::vector<RunningProcess> found;
    const auto query = Kernel32<QueryImageName>("QueryFullProcessImageNameA");
    FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) return found;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        // The idle process has no program; this one is the installer, wherever a copy of it was kept.
        if (entry.th32ProcessID == 0 || entry.th32ProcessID == GetCurrentProcessId()) continue;
        found.push_back(RunningProcess{entry.th32ProcessID, entry.szExeFile, ImagePath(entry.th32ProcessID, query)});
    }
    return found;
}

void WindowsPlatform::ThrowLockError(std::string_view what, std::string_view more, unsigned long code) {
    throw Exception(
        Joined({"The one-run lock "sv, what, more, ": error "sv, Decimal(code), " ("sv, SystemErrorText(code), ")"sv}));
}

// The namespace is opened when another elevated run made it; either way this process keeps its handle, since
// the namespace (and every name in it) goes with the last one.
const char* WindowsPlatform::SoleRunName(SECURITY_ATTRIBUTES* attributes) {
    const auto createBoundary = Kernel32<CreateBoundaryDescriptorFn>("CreateBoundaryDescriptorA");
    const auto addSid = Kernel32<AddSidToBoundaryFn>("AddSIDToBoundaryDescriptor");
    const auto createNamespace = Kernel32<CreatePrivateNamespaceFn>("CreatePrivateNamespaceA");
    const auto openNamespace = Kernel32<OpenPrivateNamespaceFn>("OpenPrivateNamespaceA");
    if (!createBoundary || !addSid || !createNamespace || !openNamespace || !RunsElevated()) return GlobalSoleRunName;
    if (privateNamespace_ != nullptr) return PrivateSoleRunName;
    HANDLE boundary = createBoundary(PrivateNamespace, 0);
    char sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    if (boundary == nullptr || !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) ||
        !addSid(&boundary, sid))
        ThrowLockError("could not be bounded"sv, {}, GetLastError());
    HANDLE space = createNamespace(attributes, boundary, PrivateNamespace);
    if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) space = openNamespace(boundary, PrivateNamespace);
    if (space == nullptr) ThrowLockError("has no namespace"sv, {}, GetLastError());
    privateNamespace_ = space;  // the boundary descriptor is kept too: it is small, and goes with the process
    return PrivateSoleRunName;
}

bool WindowsPlatform::ClaimSoleRun() {
    if (soleRun_.Valid()) return true;
    AdminsOnly adminsOnly;
    SECURITY_ATTRIBUTES* restricted = adminsOnly.descriptor != nullptr ? &adminsOnly.attributes : nullptr;
    const char* name = SoleRunName(restricted);
    SECURITY_ATTRIBUTES* security = name == PrivateSoleRunName ? restricted : nullptr;
    holderName_ = Joined({name, HolderSuffix});
    // Nothing between here and where the lock keeps it can throw with the handle open.
    const HANDLE mutex = CreateMutexA(security, FALSE, name);
    const DWORD code = GetLastError();
    if (mutex == nullptr) {
        // A run of another user (SYSTEM, say) made it with rights that let this one not even open it: another run.
        if (code == ERROR_ACCESS_DENIED) return false;
        // Anything else (the name taken by an event, say) leaves the run without its lock: it does not go on.
        ThrowLockError(name, " could not be made"sv, code);
    }
    if (code == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    soleRun_.Reset(mutex);
    // Who holds it, for the refusal of the next run; a run that cannot say so still holds the lock.
    holder_.Reset(
        CreateFileMappingA(INVALID_HANDLE_VALUE, security, PAGE_READWRITE, 0, HolderSize, holderName_.c_str()));
    void* view = holder_.Valid() ? MapViewOfFile(holder_.Get(), FILE_MAP_WRITE, 0, 0, HolderSize) : nullptr;
    if (view != nullptr) {
        char program[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
        char user[256];
        DWORD size = sizeof user;
        const bool named = GetUserNameA(user, &size);
        std::string text = Joined({"process "sv, Decimal(GetCurrentProcessId()), " ("sv,
                                   std::string_view(program, length < MAX_PATH ? length : 0), ")"sv,
                                   named ? " of user "sv : ""sv, named ? user : ""});
        text.resize(HolderSize - 1);
        CopyMemory(view, text.c_str(), HolderSize);
        UnmapViewOfFile(view);
    }
    return true;
}

void WindowsPlatform::LogEvent(EventKind kind, unsigned id, const std::string& text) {
    const HANDLE source = RegisterEventSourceA(nullptr, EventSource);
    if (source == nullptr) return;
    const WORD type = kind == EventKind::Error     ? EVENTLOG_ERROR_TYPE
                      : kind == EventKind::Warning ? EVENTLOG_WARNING_TYPE
                                                   : EVENTLOG_INFORMATION_TYPE;
    const char* strings[] = {text.c_str()};
    ReportEventA(source, type, 0, id, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

std::string WindowsPlatform::SoleRunHolder() {
    KernelHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, holderName_.c_str()));
    const char* view =
        mapping.Valid() ? static_cast<const char*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, HolderSize)) : nullptr;
    if (view == nullptr) return std::string();
    std::string text(view, strnlen(view, HolderSize));
    UnmapViewOfFile(view);
    return text;
}

void WindowsPlatform::ShellOpen(const std::string& target, const char* parameters, const char* folder) {
    // No parameters or folder, given as null or as an empty text, are passed on as none.
    const auto some = [](const char* text) { return text != nullptr && *text != '\0' ? text : nullptr; };
    ShellExecuteA(nullptr, "open", target.c_str(), some(parameters), some(folder), SW_SHOWNORMAL);
}

bool WindowsPlatform::RunsElevated() const {
    const ProcessToken token;
    if (!token.Valid()) return true;  // unknown: the stricter rules
    if (token.User() != nullptr && IsWellKnownSid(token.User(), WinLocalSystemSid)) return true;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return elevation.TokenIsElevated != 0;
    // Windows XP: an administrator's token holds every right of the group.
    char sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    BOOL member = FALSE;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize)) return true;
    return !CheckTokenMembership(nullptr, sid, &member) || member != FALSE;
}

std::string WindowsPlatform::ResolvedPath(const std::string& path) {
    using FinalPathName = DWORD(WINAPI*)(HANDLE file, LPSTR path, DWORD size, DWORD flags);
    const auto finalPath = Kernel32<FinalPathName>("GetFinalPathNameByHandleA");
    if (finalPath == nullptr) return path;
    FileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    char resolved[MAX_PATH * 2];
    const DWORD length = file.Valid() ? finalPath(file.Get(), resolved, sizeof resolved, 0) : 0;
    if (length == 0 || length >= sizeof resolved) return path;
    std::string text(resolved, length);
    // "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a share.
    if (text.rfind("\\\\?\\UNC\\", 0) == 0) return Joined({"\\\\"sv, std::string_view(text).substr(8)});
    if (text.rfind("\\\\?\\", 0) == 0) return text.substr(4);
    return text;
}

std::string WindowsPlatform::FullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    // A path whose absolute form does not fit is shown as it was given.
    if (length == 0 || length >= MAX_PATH) return path;
    return std::string(full, length);
}

std::string WindowsPlatform::SystemErrorText(unsigned long code) {
    char text[256];
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, code, 0,
        text, 256, nullptr);
    return TrimSystemText(std::string(text, length));
}

ImageBytes WindowsPlatform::ProgramResource(const char* name) {
    ImageBytes bytes;
    HRSRC resource = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (resource == nullptr) return bytes;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return bytes;
    bytes.data = static_cast<const unsigned char*>(data);
    bytes.size = SizeofResource(nullptr, resource);
    bytes.found = true;
    return bytes;
}

// No system error has this code: it stands for the refusal of a link, whose text is the program's own.
constexpr unsigned long LinkRefused = ~0ul;

void WindowsPlatform::ThrowOpenError(const std::string& path, unsigned long code) { ThrowFileError(path, code, true); }

void WindowsPlatform::ThrowLinkRefusal(const std::string& path) { ThrowFileError(path, LinkRefused, false); }

void WindowsPlatform::ThrowCreateError(const std::string& path, unsigned long code) {
    ThrowFileError(path, code, false);
}

void WindowsPlatform::ThrowFileError(const std::string& path, unsigned long code, bool open) {
    const std::string reason = code == LinkRefused ? std::string(LinkRefusalText()) : SystemErrorText(code);
    std::string text = (open ? OpenErrorText : CreateErrorText)(FullPath(path), reason);
    if (open) throw EFOpenError(std::move(text));
    throw EFCreateError(std::move(text));
}

}  // namespace orv
