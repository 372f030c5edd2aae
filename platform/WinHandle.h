#pragma once
// Owners for the kinds of handle the platform opens. Each closes its handle exactly once.
#include <windows.h>

namespace orv {

// Kind says what an unset handle is (Kind::Invalid()) and how one is closed (Kind::Close).
template <typename Kind>
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle = Kind::Invalid()) : handle_(handle) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = Kind::Invalid(); }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = Kind::Invalid();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    // Closes the handle held, if any, and takes this one.
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    bool Valid() const { return handle_ != Kind::Invalid(); }
    HANDLE Get() const { return handle_; }
    // Closes now; true unless the system reported a failure.
    bool Close() {
        if (!Valid()) return true;
        const BOOL closed = Kind::Close(handle_);
        handle_ = Kind::Invalid();
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

struct FileHandleKind {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static BOOL Close(HANDLE handle) { return CloseHandle(handle); }
};
struct KernelHandleKind {
    static HANDLE Invalid() { return nullptr; }
    static BOOL Close(HANDLE handle) { return CloseHandle(handle); }
};
struct FindHandleKind {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static BOOL Close(HANDLE handle) { return FindClose(handle); }
};

// A file from CreateFileA, or a snapshot from CreateToolhelp32Snapshot (both invalid as INVALID_HANDLE_VALUE).
using FileHandle = UniqueHandle<FileHandleKind>;
// A kernel object's handle whose invalid value is null (a process, a mutex).
using KernelHandle = UniqueHandle<KernelHandleKind>;
// A search handle from FindFirstFileA.
using FindHandle = UniqueHandle<FindHandleKind>;

}  // namespace orv
