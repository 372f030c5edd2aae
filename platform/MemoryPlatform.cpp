#include "MemoryPlatform.h"

#include <algorithm>
#include <stdexcept>

#include "Exceptions.h"
#include "IniText.h"
#include "LineList.h"

namespace orv {
namespace {

bool ValidComponent(const std::string& part) {
    for (const char c : part) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*') return false;
    }
    return true;
}

// Windows drops trailing dots and blanks of a name: "core." is "core".
std::string StripTrailingDots(std::string part) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    return part;
}

}  // namespace

MemoryPlatform::MemoryPlatform() {
    nodes_["C:\\"] = Node{"C:\\", true, false, false, false, {}};
    currentFolder_ = "C:\\WORK";
    windowsFolder_ = "C:\\WINDOWS";
    AddFolder(currentFolder_);
    AddFolder(windowsFolder_);
}

MemoryPlatform::Resolved MemoryPlatform::Resolve(const std::string& raw) const {
    Resolved r;
    if (raw.empty()) return r;
    std::string path = raw;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return r;  // network names are not modelled
    std::string drive = currentFolder_.substr(0, 2);
    std::string base;
    if (path.size() >= 2 && path[1] == ':') {
        const char letter = path[0];
        if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return r;
        drive = UpperCaseAscii(path.substr(0, 2));
        path = path.substr(2);
        base = (path.empty() || path[0] != '\\') && drive == currentFolder_.substr(0, 2) ? currentFolder_ : drive;
    } else if (path[0] == '\\') {
        base = drive;
    } else {
        base = currentFolder_;
    }

    std::vector<std::string> parts;
    auto add = [&parts](const std::string& text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t stop = text.find('\\', start);
            if (stop == std::string::npos) stop = text.size();
            std::string part = text.substr(start, stop - start);
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                part = StripTrailingDots(part);
                if (!part.empty()) parts.push_back(part);
            }
            start = stop + 1;
        }
    };
    add(base.substr(2));
    add(path);
    for (const std::string& part : parts) {
        if (!ValidComponent(part)) return r;
    }

    r.valid = true;
    r.folderOnly = !parts.empty() && path.size() > 1 && path.back() == '\\';
    std::string parent = drive + "\\";
    r.display = parent;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 == parts.size()) parent = r.display.size() > 3 ? r.display.substr(0, r.display.size() - 1) : r.display;
        r.display += parts[i];
        if (i + 1 < parts.size()) r.display += "\\";
    }
    r.key = UpperCaseAscii(r.display);
    r.parentKey = parts.empty() ? std::string() : UpperCaseAscii(parent);
    return r;
}

const MemoryPlatform::Node* MemoryPlatform::Find(const Resolved& r) const {
    const Node* node = r.valid ? Find(r.key) : nullptr;
    return node != nullptr && r.folderOnly && !node->folder ? nullptr : node;
}

MemoryPlatform::Node* MemoryPlatform::Find(const Resolved& r) {
    return const_cast<Node*>(static_cast<const MemoryPlatform*>(this)->Find(r));
}

const MemoryPlatform::Node* MemoryPlatform::Find(const std::string& key) const {
    const auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

MemoryPlatform::Node* MemoryPlatform::Find(const std::string& key) {
    const auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

unsigned long MemoryPlatform::Fault(const char* operation, const std::string& path) {
    ++operations_;
    return faultHook ? faultHook(operation, path) : 0;
}

std::size_t MemoryPlatform::UsedSpace() const {
    std::size_t used = 0;
    for (const auto& entry : nodes_) used += entry.second.bytes.size();
    return used;
}

void MemoryPlatform::MakeFolders(const Resolved& where) {
    std::size_t pos = 3;
    while (true) {
        const std::size_t stop = where.display.find('\\', pos);
        const std::string display = where.display.substr(0, stop);
        const std::string key = UpperCaseAscii(display);
        if (Find(key) == nullptr) nodes_[key] = Node{display, true, false, false, false, {}};
        if (stop == std::string::npos) break;
        pos = stop + 1;
    }
}

std::string MemoryPlatform::ProfilePath(const std::string& file) const {
    if (file.find_first_of("\\/:") == std::string::npos) return windowsFolder_ + "\\" + file;
    return file;
}

// ---- profile files ----

std::string MemoryPlatform::ProfileText(const std::string& file) {
    const Resolved r = Resolve(ProfilePath(file));
    const Node* node = Find(r);
    // The system cannot open a file another program holds: it reads as empty.
    return node != nullptr && !node->folder && !node->locked ? node->bytes : std::string();
}

std::string MemoryPlatform::ReadProfileEntry(const std::string& file, const char* section, const char* key,
                                             const char* defaultValue) {
    std::string value = defaultValue;
    if (Fault("ReadProfileEntry", file) == 0) {
        if (auto found = ini::Read(ProfileText(file), section, key)) value = std::move(*found);
    }
    if (value.size() > ini::MaxValue) value.resize(ini::MaxValue);
    return value;
}

bool MemoryPlatform::WriteProfileEntry(const std::string& file, const char* section, const char* key,
                                       const std::string& value) {
    if (Fault("WriteProfileEntry", file) != 0) return false;
    const Resolved r = Resolve(ProfilePath(file));
    if (!r.valid || r.folderOnly) return false;
    const Node* parent = Find(r.parentKey);
    const Node* node = Find(r.key);
    // The edit is made on a copy beside the file, which a folder that denies creating files refuses.
    if (parent == nullptr || !parent->folder || parent->createDenied) return false;
    if (node != nullptr && (node->folder || node->readOnly || node->locked || !Plain(node))) return false;
    if (!LeftoverIsPlain(ProfilePath(file))) return false;
    const std::string before = node != nullptr ? node->bytes : std::string();
    DropLeftover(ProfilePath(file));
    if (ini::Read(before, section, key) == ini::AsRead(value)) return true;  // it reads so already
    const std::string text = ini::Write(before, section, key, value);
    // Like the Windows platform, which checks the system's edit of a copy before it takes its place.
    if (!ini::EditHolds(before, text, section, key, &value)) return false;
    // The file is copied beside itself, and the system edits the copy: that needs room for the larger of the two.
    if (std::max(before.size(), text.size()) > capacity_ - UsedSpace()) return false;
    StoreFile(r, text.data(), text.size(), true);
    return true;
}

void MemoryPlatform::RemoveProfileEntry(const std::string& file, const char* section, const char* key) {
    if (Fault("RemoveProfileEntry", file) != 0) return;
    const Resolved r = Resolve(ProfilePath(file));
    Node* node = Find(r);
    if (node == nullptr || node->folder || node->readOnly || node->locked || !Plain(node)) return;
    if (Find(r.parentKey)->createDenied) return;
    if (!LeftoverIsPlain(ProfilePath(file))) return;
    const std::string text = ini::Remove(node->bytes, section, key);
    DropLeftover(ProfilePath(file));
    if (node->bytes.size() > capacity_ - UsedSpace()) return;
    if (ini::EditHolds(node->bytes, text, section, key, nullptr)) node->bytes = text;
}

void MemoryPlatform::FlushProfile(const std::string& file) { Fault("FlushProfile", file); }

// ---- files and folders ----

bool MemoryPlatform::FileIsPresent(const std::string& path) {
    if (Fault("FileIsPresent", path) != 0) return false;
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    return node != nullptr && !node->folder;
}

bool MemoryPlatform::FolderIsPresent(const std::string& path) {
    if (Fault("FolderIsPresent", path) != 0) return false;
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    return node != nullptr && node->folder;
}

FolderHold MemoryPlatform::HoldFolder(const std::string& path) {
    if (Fault("HoldFolder", path) != 0) return FolderHold::Refused;
    Node* node = Find(Resolve(path));
    if (node != nullptr && node->link) return FolderHold::Refused;
    if (node == nullptr || !node->folder) return FolderHold::Missing;
    node->held = true;
    return FolderHold::Held;
}

void MemoryPlatform::ReleaseFolders() {
    for (auto& entry : nodes_) entry.second.held = false;
}

bool MemoryPlatform::RemoveFile(const std::string& path) {
    if (Fault("RemoveFile", path) != 0) return false;
    DropLeftover(path);
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    if (node == nullptr || node->folder || node->readOnly || node->locked || !Plain(node)) return false;
    nodes_.erase(r.key);
    return true;
}

bool MemoryPlatform::CopyOver(const std::string& source, const std::string& target) {
    if (Fault("CopyOver", target) != 0) return false;
    const Resolved from = Resolve(source);
    const Resolved to = Resolve(target);
    const Node* src = Find(from);
    if (src == nullptr || src->folder || src->locked || !to.valid || to.folderOnly) return false;
    const Node* parent = Find(to.parentKey);
    const Node* dst = Find(to.key);
    if (parent == nullptr || !parent->folder) return false;
    if (dst != nullptr && (dst->folder || dst->readOnly || dst->locked || !Plain(dst))) return false;
    const std::size_t old = dst != nullptr ? dst->bytes.size() : 0;
    if (src->bytes.size() > old && src->bytes.size() - old > capacity_ - UsedSpace()) return false;
    const std::string bytes = src->bytes;
    const bool readOnly = src->readOnly;  // a copy takes the source's attributes
    StoreFile(to, bytes.data(), bytes.size(), false);
    Find(to.key)->readOnly = readOnly;
    return true;
}

void MemoryPlatform::CreateFolder(const std::string& path) {
    unsigned long code = Fault("CreateFolder", path);
    if (code == 0) {
        const Resolved r = Resolve(path);
        if (!r.valid) {
            code = path.empty() ? winerr::PathNotFound : winerr::InvalidName;
        } else if (Find(r.key) != nullptr) {
            code = winerr::AlreadyExists;
        } else if (const Node* parent = Find(r.parentKey); parent == nullptr || !parent->folder) {
            code = winerr::PathNotFound;
        } else {
            nodes_[r.key] = Node{r.display, true, false, false, false, {}};
            return;
        }
    }
    throw EInOutError(InOutErrorText(code));
}

std::string MemoryPlatform::ReadWholeFile(const std::string& path) {
    unsigned long code = Fault("ReadWholeFile", path);
    const Resolved r = Resolve(path);
    if (code == 0) {
        const Node* node = Find(r);
        const Node* parent = r.valid ? Find(r.parentKey) : nullptr;
        if (!r.valid) code = path.empty() ? winerr::PathNotFound : winerr::InvalidName;
        else if (node == nullptr) code = parent != nullptr && parent->folder ? winerr::FileNotFound : winerr::PathNotFound;
        else if (node->folder) code = winerr::AccessDenied;
        else if (node->locked) code = winerr::SharingViolation;
        else return node->bytes;
    }
    throw EFOpenError(OpenErrorText(FullPath(path), SystemErrorText(code)));
}

WriteMode MemoryPlatform::WriteWholeFile(const std::string& path, const char* data, std::size_t size, KeptSecurity) {
    unsigned long code = Fault("WriteWholeFile", path);
    const Resolved r = Resolve(path);
    if (code == 0) {
        const Node* node = Find(r);
        const Node* parent = r.valid ? Find(r.parentKey) : nullptr;
        if (!r.valid || r.folderOnly) code = path.empty() ? winerr::PathNotFound : winerr::InvalidName;
        else if (parent == nullptr || !parent->folder) code = winerr::PathNotFound;
        else if (node != nullptr && (node->folder || node->readOnly)) code = winerr::AccessDenied;
        else if (node != nullptr && node->locked) code = winerr::SharingViolation;
        else if (!Plain(node) || !LeftoverIsPlain(path))
            throw EFCreateError(CreateErrorText(FullPath(Plain(node) ? path + ReplacementSuffix : path), LinkRefusalText()));
        else if (parent->createDenied && (node == nullptr || elevated_)) code = winerr::AccessDenied;
        else if (parent->createDenied) {
            // Rewritten in place: what fits is written, and a full disk leaves it cut short.
            const std::size_t room = capacity_ - UsedSpace() + node->bytes.size();
            StoreFile(r, data, std::min(size, room), true);
            if (size > room) throw EWriteError(StreamWriteErrorText());
            return WriteMode::InPlace;
        }
        // The new content is written beside the old before it replaces it, so it needs its full size; a
        // leftover of a cut-off write is taken over (and goes) before that.
        else if (DropLeftover(path), size > capacity_ - UsedSpace()) code = winerr::DiskFull;
        else {
            StoreFile(r, data, size, false);
            return WriteMode::Replaced;
        }
    }
    if (code == winerr::DiskFull) throw EWriteError(StreamWriteErrorText());
    throw EFCreateError(CreateErrorText(FullPath(path), SystemErrorText(code)));
}

// What Windows leaves of a write that was cut off: its replacement beside the file ("~orv").
void MemoryPlatform::DropLeftover(const std::string& path) {
    const Resolved leftover = Resolve(path + ReplacementSuffix);
    const Node* node = Find(leftover);
    if (node != nullptr && !node->folder && !node->readOnly && !node->locked && Plain(node)) nodes_.erase(leftover.key);
}

bool MemoryPlatform::LeftoverIsPlain(const std::string& path) const {
    const Node* node = Find(Resolve(path + ReplacementSuffix));
    return node == nullptr || (!node->folder && Plain(node));
}

void MemoryPlatform::StoreFile(const Resolved& where, const char* data, std::size_t size, bool keepAttributes) {
    Node* node = Find(where.key);
    if (node == nullptr) {
        node = &nodes_[where.key];
        node->path = where.display;
    }
    node->folder = false;
    if (!keepAttributes) node->readOnly = false;
    node->bytes.assign(data, size);
}

// ---- windows, shell, texts, resources ----

void MemoryPlatform::EnumerateWindowClasses(WindowClassVisitor& visitor) {
    if (Fault("EnumerateWindowClasses", std::string()) != 0) return;
    for (const std::string& name : windowClasses_) visitor.Visit(name.substr(0, 254));
}

std::vector<RunningProcess> MemoryPlatform::RunningProcesses() {
    if (Fault("RunningProcesses", std::string()) != 0) return {};
    return processes_;  // the installer's own process is never among them
}

bool MemoryPlatform::ClaimSoleRun() {
    if (const unsigned long code = Fault("ClaimSoleRun", std::string()))
        throw Exception("The one-run lock could not be made: error " + DecimalText(code));
    return !otherRun_;
}

std::string MemoryPlatform::SoleRunHolder() { return otherRun_ ? "process 4 (OrvandelSetup.exe)" : std::string(); }

void MemoryPlatform::AddProcess(const std::string& name, const std::string& image) {
    processes_.push_back(RunningProcess{static_cast<unsigned long>(4 * (processes_.size() + 1)), name, image});
}

void MemoryPlatform::ShellOpen(const std::string& target, const char* parameters, const char* folder) {
    if (Fault("ShellOpen", target) != 0) return;
    shellCalls_.push_back(ShellCall{target, parameters, folder});
}

bool MemoryPlatform::RunsElevated() const { return elevated_; }

std::string MemoryPlatform::ResolvedPath(const std::string& path) {
    const std::string full = FullPath(path);
    for (const auto& [from, to] : resolves_) {
        if (UpperCaseAscii(full).rfind(from, 0) == 0 && (full.size() == from.size() || full[from.size()] == '\\'))
            return to + full.substr(from.size());
    }
    return full;
}

std::string MemoryPlatform::FullPath(const std::string& path) {
    const Resolved r = Resolve(path);
    return r.valid ? r.display : path;
}

std::string MemoryPlatform::SystemErrorText(unsigned long code) {
    switch (code) {
    case 2: return "The system cannot find the file specified";
    case 3: return "The system cannot find the path specified";
    case 5: return "Access is denied";
    case 32: return "The process cannot access the file because it is being used by another process";
    case 112: return "There is not enough space on the disk";
    case 123: return "The filename, directory name, or volume label syntax is incorrect";
    case 183: return "Cannot create a file when that file already exists";
    default: return std::string();
    }
}

ImageBytes MemoryPlatform::ProgramResource(const char* name) {
    const auto it = resources_.find(UpperCaseAscii(name));  // resource names ignore letter case
    if (it == resources_.end()) return ImageBytes{};
    return ImageBytes{reinterpret_cast<const unsigned char*>(it->second.data()), it->second.size(), true};
}

// ---- laying out and looking at the world ----

void MemoryPlatform::SetCurrentFolder(const std::string& path) {
    const Resolved r = Resolve(path);
    if (!r.valid) throw std::invalid_argument("bad folder " + path);
    MakeFolders(r);
    currentFolder_ = r.display.size() == 3 ? r.display.substr(0, 2) : r.display;
}

void MemoryPlatform::SetWindowsFolder(const std::string& path) {
    const Resolved r = Resolve(path);
    if (!r.valid) throw std::invalid_argument("bad folder " + path);
    MakeFolders(r);
    windowsFolder_ = r.display;
}

void MemoryPlatform::AddFolder(const std::string& path) {
    const Resolved r = Resolve(path);
    if (!r.valid) throw std::invalid_argument("bad folder " + path);
    MakeFolders(r);
}

void MemoryPlatform::AddFile(const std::string& path, const std::string& bytes) {
    const Resolved r = Resolve(path);
    if (!r.valid || r.parentKey.empty()) throw std::invalid_argument("bad file " + path);
    const std::size_t cut = r.display.rfind('\\');
    MakeFolders(Resolve(r.display.substr(0, cut == 2 ? 3 : cut)));
    StoreFile(r, bytes.data(), bytes.size(), false);
}

void MemoryPlatform::SetReadOnly(const std::string& path, bool readOnly) {
    const Resolved r = Resolve(path);
    Node* node = Find(r);
    if (node == nullptr) throw std::out_of_range("no entry " + path);
    node->readOnly = readOnly;
}

void MemoryPlatform::SetLink(const std::string& path, bool link) {
    Node* node = Find(Resolve(path));
    if (node == nullptr) throw std::out_of_range("no entry " + path);
    node->link = link;
}

void MemoryPlatform::SetCreateDenied(const std::string& folder, bool denied) {
    AddFolder(folder);
    Find(Resolve(folder))->createDenied = denied;
}

void MemoryPlatform::SetHardLinked(const std::string& path, bool linked) {
    Node* node = Find(Resolve(path));
    if (node == nullptr) throw std::out_of_range("no entry " + path);
    node->hardLinked = linked;
}

bool MemoryPlatform::RenameFolder(const std::string& path, const std::string& newPath) {
    const Resolved from = Resolve(path);
    const Resolved to = Resolve(newPath);
    const Node* node = Find(from);
    if (node == nullptr || !node->folder || !to.valid || Find(to.key) != nullptr) return false;
    const auto inside = [&](const std::string& key) { return key == from.key || key.rfind(from.key + "\\", 0) == 0; };
    // A folder held open, or one held below it, cannot move.
    for (const auto& [key, entry] : nodes_) {
        if (inside(key) && entry.held) return false;
    }
    std::map<std::string, Node> moved;
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        if (!inside(it->first)) {
            ++it;
            continue;
        }
        Node entry = it->second;
        entry.path = to.display + entry.path.substr(from.display.size());
        moved[to.key + it->first.substr(from.key.size())] = entry;
        it = nodes_.erase(it);
    }
    nodes_.insert(moved.begin(), moved.end());
    return true;
}

void MemoryPlatform::SetLocked(const std::string& path, bool locked) {
    const Resolved r = Resolve(path);
    Node* node = Find(r);
    if (node == nullptr) throw std::out_of_range("no entry " + path);
    node->locked = locked;
}

void MemoryPlatform::SetFreeSpace(std::size_t bytes) { capacity_ = UsedSpace() + bytes; }

void MemoryPlatform::AddWindowClass(const std::string& className) { windowClasses_.push_back(className); }

void MemoryPlatform::ClearWindowClasses() { windowClasses_.clear(); }

void MemoryPlatform::AddResource(const std::string& name, const std::string& bytes) {
    resources_[UpperCaseAscii(name)] = bytes;
}

bool MemoryPlatform::HasFile(const std::string& path) const {
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    return node != nullptr && !node->folder;
}

bool MemoryPlatform::HasFolder(const std::string& path) const {
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    return node != nullptr && node->folder;
}

std::string MemoryPlatform::FileBytes(const std::string& path) const {
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    if (node == nullptr || node->folder) throw std::out_of_range("no file " + path);
    return node->bytes;
}

bool MemoryPlatform::IsReadOnly(const std::string& path) const {
    const Resolved r = Resolve(path);
    const Node* node = Find(r);
    return node != nullptr && node->readOnly;
}

std::vector<std::string> MemoryPlatform::Entries() const {
    std::vector<std::string> entries;
    for (const auto& [key, node] : nodes_) entries.push_back(node.folder && node.path.size() > 3 ? node.path + "\\" : node.path);
    return entries;
}

}  // namespace orv
