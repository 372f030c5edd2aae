#pragma once
// What a procedure changed on disk, step by step, for a record of the run. The window keeps no record;
// an unattended run writes one line per step.
#include <cstddef>
#include <string>

namespace orv {

class StepLog {
public:
    virtual void FolderCreated(const std::string& /*path*/) {}
    virtual void FileWritten(const std::string& /*path*/, const unsigned char* /*data*/, std::size_t /*size*/) {}
    // The file was rewritten in place, not in one step: this user may write it but not create a file beside it.
    virtual void WrittenInPlace(const std::string& /*path*/) {}
    virtual void UserMacRewritten(const std::string& /*path*/, std::size_t /*linesBefore*/, std::size_t /*linesAfter*/) {}
    virtual void VersionRecorded(const std::string& /*profile*/, const std::string& /*version*/) {}
    virtual void VersionForgotten(const std::string& /*profile*/) {}
    // The version is still recorded after its removal, or the profile cannot be read to tell: refused in silence
    // (a read-only, locked or hidden profile).
    virtual void VersionNotForgotten(const std::string& /*profile*/) {}
    virtual void BackupRestored(const std::string& /*backup*/, const std::string& /*config*/) {}
    virtual void FileDeleted(const std::string& /*path*/) {}
    // A file the procedure deletes without a word (in use, read-only) is still there.
    virtual void FileNotDeleted(const std::string& /*path*/) {}

    // The log that keeps nothing.
    static StepLog& None() {
        static StepLog none;
        return none;
    }

protected:
    ~StepLog() = default;
};

}  // namespace orv
