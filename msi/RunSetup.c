/* The MSI package's custom action: runs OrvandelSetup.exe with the command line the package hands over
 * (CustomActionData), writes every line the program prints into the Windows Installer log, and fails the
 * installation (1603) when the program exits with anything but 0. A plain program action (type 18) would
 * leave the log without the program's reason, and some Windows Installer clients report its failure as
 * 1627 rather than 1603. It runs deferred, as SYSTEM, in the installer's custom action server. The program's
 * refusal, 1618, cannot pass through as Windows Installer's own "another installation is in progress": a custom
 * action ends only in success, user exit or failure, so it too becomes 1603, with the program's code logged.
 * A removal on a computer whose ChemStation is gone (the program's exit code 3) succeeds: with no host there is
 * nothing of the add-on to take out, and a package that could not be removed would be retried at every start. */
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <string.h>

enum { CommandMax = 4096, LineMax = 1024, ExitNoHost = 3 };

/* One line in the installer's log. The text sits in a field of its own, so that brackets in a path are
 * never taken for properties to put in. */
static void Log(MSIHANDLE install, const char* text) {
    MSIHANDLE record = MsiCreateRecord(1);
    if (!record) return;
    MsiRecordSetStringA(record, 0, "OrvandelSetup: [1]");
    MsiRecordSetStringA(record, 1, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    MsiCloseHandle(record);
}

/* "TEXT N", for the lines that end in a number. */
static void LogNumber(MSIHANDLE install, const char* text, DWORD number) {
    char line[64], digits[12];
    int length = 0, count = 0;
    while (text[length] && length < 40) line[length] = text[length], length++;
    do digits[count++] = (char)('0' + number % 10); while ((number /= 10) != 0);
    while (count) line[length++] = digits[--count];
    line[length] = 0;
    Log(install, line);
}

/* Reads what the program prints until it has ended and the pipe is empty; a program of its own that
 * kept the pipe open cannot hold the installation. */
static void Relay(MSIHANDLE install, HANDLE pipe, HANDLE process) {
    char line[LineMax], chunk[512];
    DWORD length = 0, available, got, i;
    BOOL ended = FALSE;
    for (;;) {
        if (!PeekNamedPipe(pipe, NULL, 0, NULL, &available, NULL)) break;  /* every writer has gone */
        if (available == 0) {
            if (ended) break;
            ended = WaitForSingleObject(process, 50) == WAIT_OBJECT_0;
            continue;
        }
        if (!ReadFile(pipe, chunk, available < sizeof chunk ? available : sizeof chunk, &got, NULL) || !got) break;
        for (i = 0; i < got; i++) {
            if (chunk[i] == '\r') continue;
            if (chunk[i] == '\n' || length == LineMax - 1) {
                line[length] = 0;
                Log(install, line);
                length = 0;
                if (chunk[i] == '\n') continue;
            }
            line[length++] = chunk[i];
        }
    }
    if (length) {
        line[length] = 0;
        Log(install, line);
    }
}

__declspec(dllexport) UINT __stdcall RunSetup(MSIHANDLE install) {
    char command[CommandMax];
    DWORD size = sizeof command, code = 1;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    HANDLE reader, writer;
    if (MsiGetPropertyA(install, "CustomActionData", command, &size) != ERROR_SUCCESS || !command[0]) {
        Log(install, "no command line was handed over");
        return ERROR_INSTALL_FAILURE;
    }
    Log(install, command);
    if (!CreatePipe(&reader, &writer, &inherited, 0)) {
        LogNumber(install, "cannot make a pipe: error ", GetLastError());
        return ERROR_INSTALL_FAILURE;
    }
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer;
    startup.hStdError = writer;
    if (!CreateProcessA(NULL, command, NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process)) {
        LogNumber(install, "cannot start the program: error ", GetLastError());
        CloseHandle(reader);
        CloseHandle(writer);
        return ERROR_INSTALL_FAILURE;
    }
    CloseHandle(writer);  /* the pipe ends once the program's copy is closed */
    Relay(install, reader, process.hProcess);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(reader);
    LogNumber(install, "exit code ", code);
    if (code == ExitNoHost && strstr(command, " /remove ")) {
        Log(install, "no ChemStation on this computer: nothing of the add-on to remove");
        return ERROR_SUCCESS;
    }
    return code == 0 ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
