#include "RunLogFile.h"

#include <aclapi.h>

#include "ProcessToken.h"

namespace orv {
namespace {

// The owners a privileged run may append to: the system, the administrators, and the account the run is.
bool OwnerTrusted(HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    bool trusted = IsWellKnownSid(owner, WinLocalSystemSid) || IsWellKnownSid(owner, WinBuiltinAdministratorsSid);
    if (!trusted) {
        const ProcessToken token;
        trusted = token.User() != nullptr && EqualSid(owner, token.User()) != FALSE;
    }
    LocalFree(descriptor);
    return trusted;
}

}  // namespace

bool RunLogFile::Open(const std::string& path, LogFileFacts& facts) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        facts.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        facts.link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (facts.folder || facts.link) return true;
    }
    // Shared for writing too: machines that log to one file on a share append whole lines side by side.
    file_.Reset(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file_.Valid()) {
        lastError = GetLastError();
        return false;
    }
    facts.diskFile = GetFileType(file_.Get()) == FILE_TYPE_DISK;
    BY_HANDLE_FILE_INFORMATION info;
    if (facts.diskFile && GetFileInformationByHandle(file_.Get(), &info)) {
        facts.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        facts.link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        facts.names = info.nNumberOfLinks;
    }
    facts.ownerTrusted = facts.diskFile && OwnerTrusted(file_.Get());
    return true;
}

bool RunLogFile::Append(const std::string& text) {
    if (!file_.Valid()) return false;
    DWORD written = 0;
    return WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace orv
