#pragma once
// Who runs the program, with which rights, on which Windows: the facts an installation report states.
#include "Unattended.h"

namespace orv {

// Fills the system facts of facts just made (their places are empty). elevated: the run's rights as the
// platform tells them (an elevated token, or an administrator on XP).
void GatherSystemFacts(RunFacts& facts, bool elevated);

}  // namespace orv
