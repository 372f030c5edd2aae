#pragma once
// The add-on's own folders (\OV, \OV\SCRIPTS, \OV\SCRIPTS\PDF) are the installer's to write and delete in.
// Where one has been replaced by a link (a junction, a symbolic link), a run as SYSTEM would write and delete
// wherever the link leads, in a folder someone else chose: nothing is written or deleted there. The host's own
// folder may well be a link; only the add-on's folders are looked at.
#include <string>

#include "Platform.h"

namespace orv {

// Whether the path (relative to root, starting with a backslash) lies in, or is, an add-on folder that is a
// link or lies in one. Asked again before each file, since a folder can be swapped at any time.
bool InLinkedFolder(Platform& platform, const std::string& root, const std::string& relative);

}  // namespace orv
