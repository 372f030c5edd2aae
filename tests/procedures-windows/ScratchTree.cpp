#include "ScratchTree.h"

namespace orv::test {
namespace {

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

ScratchTree::ScratchTree() {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "orvproc" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    RemoveTree(root_);
    CreateDirectoryA(root_.c_str(), nullptr);
}

ScratchTree::~ScratchTree() { RemoveTree(root_); }

void ScratchTree::Folder(const std::string& relative) const {
    std::string path = root_;
    std::size_t pos = 1;
    while (pos <= relative.size()) {
        std::size_t next = relative.find('\\', pos);
        if (next == std::string::npos) next = relative.size();
        path = root_ + relative.substr(0, next);
        CreateDirectoryA(path.c_str(), nullptr);
        pos = next + 1;
    }
}

void ScratchTree::File(const std::string& relative, const std::string& bytes) const {
    Folder(relative.substr(0, relative.rfind('\\')));
    const std::string path = root_ + relative;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ScratchTree::Bytes(const std::string& relative) const {
    HANDLE file = CreateFileA((root_ + relative).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

bool ScratchTree::Exists(const std::string& relative) const {
    return GetFileAttributesA((root_ + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ScratchTree::ReadOnly(const std::string& relative, bool on) const {
    SetFileAttributesA((root_ + relative).c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

HeldOpen::HeldOpen(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

HeldOpen::~HeldOpen() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

TopLevelWindow::TopLevelWindow(const char* className) : className_(className) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className_.c_str();
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, className_.c_str(), "host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
}

TopLevelWindow::~TopLevelWindow() {
    DestroyWindow(window_);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}

std::vector<PayloadItem> SmallPayloadInMemory() {
    static std::vector<std::string> records;
    if (records.empty()) {
        for (const PayloadEntry& entry : PayloadCatalogue)
            records.push_back(ProducePayloadRecord(std::string("new ") + entry.name + "\r\n"));
    }
    std::vector<PayloadItem> items;
    for (std::size_t i = 0; i < records.size(); ++i) {
        items.push_back(PayloadItem::FromRecord(PayloadCatalogue[i].name,
                                                reinterpret_cast<const unsigned char*>(records[i].data()),
                                                records[i].size()));
    }
    return items;
}

}  // namespace orv::test
