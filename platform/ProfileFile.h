#pragma once
// Access to one Windows profile (ini) file by section and key. It holds only the name it was opened with;
// every operation goes straight to the platform, so a value written through one object is seen by all.
#include <string>

#include "Platform.h"

namespace orv {

class ProfileFile {
public:
    ProfileFile(Platform& platform, std::string fileName) : platform_(&platform), fileName_(std::move(fileName)) {}
    ~ProfileFile();
    ProfileFile(ProfileFile&& other) noexcept;
    ProfileFile& operator=(ProfileFile&& other) noexcept;
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    const std::string& FileName() const { return fileName_; }
    std::string ReadValue(const char* section, const char* key, const char* defaultValue) const;
    std::string ReadValue(const char* section, const char* key, const std::string& defaultValue) const {
        return ReadValue(section, key, defaultValue.c_str());
    }
    // Throws EIniFileException "Unable to write to <file name>" when the system refuses.
    void WriteValue(const char* section, const char* key, const std::string& value);
    void RemoveValue(const char* section, const char* key);

private:
    Platform* platform_;
    std::string fileName_;
};

}  // namespace orv
