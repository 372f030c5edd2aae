#pragma once
// The process's own access token and the account it runs as: what the run's rights, the owners it trusts and the
// installation report's user are read from.
#include <windows.h>

#include "WinHandle.h"

namespace orv {

class ProcessToken {
public:
    ProcessToken();  // out of line: one copy for the three places that read the token
    bool Valid() const { return token_.Valid(); }
    HANDLE Get() const { return token_.Get(); }
    // The account's SID (TokenUser); null where the token could not be read.
    PSID User() const { return userKnown_ ? user_.info.User.Sid : nullptr; }

private:
    KernelHandle token_;
    union {
        TOKEN_USER info;
        char bytes[256];
    } user_;
    bool userKnown_ = false;
};

}  // namespace orv
