#include "SystemFacts.h"

#include <windows.h>
#include <sddl.h>

#include "Exceptions.h"
#include "JoinedText.h"
#include "ProcessToken.h"

namespace orv {
namespace {

// Each fact is put into its empty place in the facts: no string of its own to move there and free.
void PutUtcTime(std::string& out) {
    SYSTEMTIME t;
    GetSystemTime(&t);
    char text[] = "0000-00-00 00:00:00";
    const unsigned fields[] = {t.wYear / 100u, t.wYear % 100u, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    static constexpr unsigned char places[] = {0, 2, 5, 8, 11, 14, 17};
    for (int i = 0; i < 7; ++i) {
        text[places[i]] = static_cast<char>('0' + fields[i] / 10 % 10);
        text[places[i] + 1] = static_cast<char>('0' + fields[i] % 10);
    }
    out = text;
}

// The account of the process's token as DOMAIN\name and its SID, and what it may do.
void Account(RunFacts& facts, bool elevated) {
    const ProcessToken token;
    PSID sid = token.User();
    if (sid == nullptr) return;
    char name[256], domain[256];
    DWORD nameSize = sizeof name, domainSize = sizeof domain;
    SID_NAME_USE use;
    if (LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
        facts.account = Joined({domain, "\\", name});
    char* text = nullptr;
    if (ConvertSidToStringSidA(sid, &text)) {
        facts.sid = text;
        LocalFree(text);
    }
    facts.rights = IsWellKnownSid(sid, WinLocalSystemSid) ? "SYSTEM"
                   : elevated                                  ? "administrator (elevated)"
                                                               : "not elevated";
}

void PutArchitecture(std::string& text, WORD processor) {
    switch (processor) {
        case PROCESSOR_ARCHITECTURE_INTEL: text += "x86"; break;
        case PROCESSOR_ARCHITECTURE_AMD64: text += "x64"; break;
        case 12: text += "ARM64"; break;  // PROCESSOR_ARCHITECTURE_ARM64, newer than these headers' XP target
        default: (text += "architecture ") += Decimal(processor);
    }
}

void PutWindows(std::string& text) {
    OSVERSIONINFOEXA v{};
    v.dwOSVersionInfoSize = sizeof v;
    // The manifest names every Windows up to 10, so the system does not pretend to be an older one.
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v))) {
        text = "not known";
        return;
    }
    SYSTEM_INFO native;
    GetNativeSystemInfo(&native);
    text += Decimal(v.dwMajorVersion);
    text += '.';
    text += Decimal(v.dwMinorVersion);
    text += " build ";
    text += Decimal(v.dwBuildNumber);
    if (v.szCSDVersion[0] != '\0') (text += ' ') += v.szCSDVersion;
    text += v.wProductType == VER_NT_WORKSTATION ? " workstation, " : " server, ";
    PutArchitecture(text, native.wProcessorArchitecture);
    text += "; this program ";
    // The program runs as the machine it was built for, emulated or not.
#ifdef _WIN64
    PutArchitecture(text, PROCESSOR_ARCHITECTURE_AMD64);
#else
    PutArchitecture(text, PROCESSOR_ARCHITECTURE_INTEL);
#endif
}

}  // namespace

void GatherSystemFacts(RunFacts& facts, bool elevated) {
    PutUtcTime(facts.utcTime);
    facts.account = facts.sid = facts.rights = "not known";
    Account(facts, elevated);
    PutWindows(facts.windows);
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) facts.programPath.assign(path, length);
    facts.codePage = GetACP();
}

}  // namespace orv
