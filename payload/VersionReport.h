#pragma once
// What identifies a build of the installer: its version, the commit it was built from and the seven files it
// carries. /version prints these lines and the release notes carry the same lines, made by the same code, so
// an IT script can match an installer file to its notes without unpacking anything.
#include <string>
#include <vector>

#include "PayloadItem.h"

namespace orv {

// The lines, each ended by a line feed but the last: "Orvandel installer A.03.02", "commit <hash>", then one
// line an item in catalogue order: "deOvMcx  <ChemStation>\OV\OV.MCX  391479 bytes  sha256 <64 hex digits>".
std::string VersionText(const std::string& commit, const std::vector<PayloadItem>& payload);

}  // namespace orv
