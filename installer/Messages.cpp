#include "Messages.h"

#include "HostContract.h"
#include "JoinedText.h"

namespace orv::msg {

std::string CleanupQuestion(const std::string& userMacPath) {
    return Joined({addon::StartLine, "\nInserted as the first line in\n", userMacPath,
                   "\nMore customized macros seems to appear beyond this first line.\n"
                   "Do you want to check and eventually cleanup user.mac ?"});
}

}  // namespace orv::msg

namespace orv {

std::string WithFullStop(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

}  // namespace orv
