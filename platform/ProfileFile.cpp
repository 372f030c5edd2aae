#include "ProfileFile.h"

#include "Exceptions.h"

namespace orv {

ProfileFile::~ProfileFile() {
    // Releasing writes out the system's cached copy; its result is of no use to anyone.
    if (platform_ != nullptr) platform_->FlushProfile(fileName_);
}

ProfileFile::ProfileFile(ProfileFile&& other) noexcept
    : platform_(other.platform_), fileName_(std::move(other.fileName_)) {
    other.platform_ = nullptr;
}

ProfileFile& ProfileFile::operator=(ProfileFile&& other) noexcept {
    if (this != &other) {
        if (platform_ != nullptr) platform_->FlushProfile(fileName_);
        platform_ = other.platform_;
        fileName_ = std::move(other.fileName_);
        other.platform_ = nullptr;
    }
    return *this;
}

std::string ProfileFile::ReadValue(const char* section, const char* key, const char* defaultValue) const {
    return platform_->ReadProfileEntry(fileName_, section, key, defaultValue);
}

void ProfileFile::WriteValue(const char* section, const char* key, const std::string& value) {
    if (!platform_->WriteProfileEntry(fileName_, section, key, value)) throw EIniFileException(IniWriteErrorText(fileName_));
}

void ProfileFile::RemoveValue(const char* section, const char* key) {
    platform_->RemoveProfileEntry(fileName_, section, key);
}

}  // namespace orv
