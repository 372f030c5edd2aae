#include "ProcessToken.h"

namespace orv {

ProcessToken::ProcessToken() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
    token_.Reset(raw);
    DWORD size = 0;
    userKnown_ = GetTokenInformation(token_.Get(), TokenUser, &user_, sizeof user_, &size) != FALSE;
}

}  // namespace orv
