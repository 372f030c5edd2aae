#pragma once
// The record file of an unattended run, appended to by several runs (and several machines, on a share). A run as
// SYSTEM must not be turned into a writer of some other file: the name is opened without following a link, and
// what was opened is described so that the caller can refuse it before a single byte is written.
#include <string>

#include "Platform.h"
#include "WinHandle.h"

namespace orv {

class RunLogFile {
public:
    // CreateFileA(OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT) for appending; false (with the system's error code in
    // lastError) when it cannot be opened. A name that already is a folder or a link is not opened at all.
    bool Open(const std::string& path, LogFileFacts& facts);
    // One whole write at the end of the file; false when it fell short.
    bool Append(const std::string& text);
    void Close() { file_.Close(); }
    unsigned long lastError = 0;

private:
    FileHandle file_;
};

}  // namespace orv
