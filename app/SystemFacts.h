#pragma once
// Who runs the program, with which rights, on which Windows: the facts an installation report states.
#include "Unattended.h"

namespace orv {

void GatherSystemFacts(RunFacts& facts);

}  // namespace orv
