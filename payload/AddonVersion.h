#pragma once
// The release of the add-on's files this program carries: shown in the window, recorded on install, printed by
// /version. The payload tool reads it here too, so a program and its release notes never disagree.

namespace orv {

inline constexpr const char* AddonVersion = "A.03.02";

}  // namespace orv
