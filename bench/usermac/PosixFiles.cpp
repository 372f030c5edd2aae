#include "PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Exceptions.h"
#include "IniText.h"

namespace orvbench {

namespace {

[[noreturn]] void Unsupported(const char* operation) {
    throw orv::Exception(std::string(operation) + " is not part of the benchmarks");
}

bool IsKind(const std::string& path, mode_t kind) {
    struct stat info;
    return stat(PosixPath(path).c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

// Writes all the bytes, going on after a short write; false on a failure.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

}  // namespace

std::string PosixPath(const std::string& path) {
    std::string posix = path;
    for (char& c : posix) {
        if (c == '\\') c = '/';
    }
    return posix;
}

std::string PosixFiles::ReadProfileEntry(const std::string& file, const char* section, const char* key,
                                         const char* defaultValue) {
    if (!FileIsPresent(file)) return defaultValue;
    std::string value = orv::ini::Read(ReadWholeFile(file), section, key).value_or(defaultValue);
    if (value.size() > orv::ini::MaxValue) value.resize(orv::ini::MaxValue);
    return value;
}

bool PosixFiles::WriteProfileEntry(const std::string&, const char*, const char*, const std::string&) {
    Unsupported("WriteProfileEntry");
}

void PosixFiles::RemoveProfileEntry(const std::string&, const char*, const char*) {
    Unsupported("RemoveProfileEntry");
}

bool PosixFiles::FileIsPresent(const std::string& path) { return IsKind(path, S_IFREG); }

bool PosixFiles::FolderIsPresent(const std::string& path) { return IsKind(path, S_IFDIR); }

bool PosixFiles::RemoveFile(const std::string& path) { return unlink(PosixPath(path).c_str()) == 0; }

bool PosixFiles::CopyOver(const std::string&, const std::string&) { Unsupported("CopyOver"); }

void PosixFiles::CreateFolder(const std::string& path) {
    if (mkdir(PosixPath(path).c_str(), 0777) != 0) throw orv::EInOutError(std::strerror(errno));
}

std::string PosixFiles::ReadWholeFile(const std::string& path) {
    const int fd = open(PosixPath(path).c_str(), O_RDONLY);
    if (fd < 0) throw orv::EFOpenError(orv::OpenErrorText(path, std::strerror(errno)));
    struct stat info;
    std::string bytes;
    if (fstat(fd, &info) == 0) bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t done = read(fd, &bytes[got], bytes.size() - got);
        if (done <= 0) {
            if (done < 0 && errno == EINTR) continue;
            close(fd);
            throw orv::EFOpenError(orv::OpenErrorText(path, "short read"));
        }
        got += static_cast<std::size_t>(done);
    }
    close(fd);
    return bytes;
}

orv::WriteMode PosixFiles::WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                                          orv::KeptSecurity) {
    const std::string target = PosixPath(path);
    const std::string temp = target + "~orv";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) throw orv::EFCreateError(orv::CreateErrorText(path, std::strerror(errno)));
    const bool written = WriteAll(fd, data, size) && (!flushWrites_ || fsync(fd) == 0);
    if (close(fd) != 0 || !written) {
        unlink(temp.c_str());
        throw orv::EWriteError(orv::StreamWriteErrorText());
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        const int code = errno;
        unlink(temp.c_str());
        throw orv::EFCreateError(orv::CreateErrorText(path, std::strerror(code)));
    }
    return orv::WriteMode::Replaced;
}

void PosixFiles::ShellOpen(const std::string&, const char*, const std::string&) { Unsupported("ShellOpen"); }

std::string PosixFiles::SystemErrorText(unsigned long code) { return std::strerror(static_cast<int>(code)); }

}  // namespace orvbench
