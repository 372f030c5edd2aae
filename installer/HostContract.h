#pragma once
// What the installer relies on from a ChemStation installation, and the add-on's own names inside it.
// Every path is the host root followed by one of these literals.
#include "AddonVersion.h"

namespace orv::host {

// The host root lives in chemstation.ini, else win.ini (both in the Windows folder).
inline constexpr const char* PrimaryProfile = "chemstation.ini";
inline constexpr const char* FallbackProfile = "win.ini";
inline constexpr const char* RootSection = "PCS";
inline constexpr const char* RootKey = "Path";

inline constexpr const char* CoreFolder = "\\core";
inline constexpr const char* MassSpecFolder = "\\msexe";
// The host runs this macro file when it starts.
inline constexpr const char* UserMac = "\\core\\user.mac";

// The host program's windows all have this in their class name.
inline constexpr const char* HostWindowMarker = "PhxCntrllr";

// Configuration backups, restored over their configuration files when the add-on is removed.
struct Backup {
    const char* backup;
    const char* config;
};
inline constexpr Backup Backups[] = {
    {"\\core\\800\\TOPDATS.BAK", "\\core\\800\\TOPDATS.INI"},
    {"\\core\\800\\CHROMTB.BAK", "\\core\\800\\CHROMTB.INI"},
};

// Instrument folders (each ending in a backslash) in the same profile as the root.
inline constexpr const char* InstrumentSections[] = {"PCS,1", "PCS,2", "PCS,3", "PCS,4"};
inline constexpr const char* InstrumentKey = "_INSTPATH$";
inline constexpr const char* InstrumentDefault = "===";
inline constexpr const char* InstrumentFiles[] = {"conf_off.reg", "config.reg"};

}  // namespace orv::host

namespace orv::addon {

inline constexpr const char* Version = AddonVersion;
inline constexpr const char* StartLine = "MACRO \"..\\OV\\OV.MCX\",GO";
// A user.mac line belongs to the add-on when its trimmed, upper-cased copy holds this.
inline constexpr const char* Marker = "\\OV\\";

inline constexpr const char* Folders[] = {"\\OV", "\\OV\\SCRIPTS", "\\OV\\SCRIPTS\\PDF"};

// The files the status counts, in the order the install writes them.
inline constexpr const char* Files[] = {
    "\\OV\\OV.MCX",
    "\\OV\\ORVAND16.DLL",
    "\\OV\\ORVAND32.DLL",
    "\\OV\\OVENV.EXE",
    "\\OV\\SCRIPTS\\PDF\\PDFPRE.VBS",
    "\\OV\\SCRIPTS\\PDF\\PDFPOST.VBS",
    "\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT",
};

// The files a removal deletes: also the two bitmaps that earlier releases installed.
inline constexpr const char* RemovedFiles[] = {
    "\\OV\\OV.MCX",
    "\\OV\\ORVAND16.DLL",
    "\\OV\\ORVAND32.DLL",
    "\\OV\\TASKBOVU.BMP",
    "\\OV\\TASKBOVN.BMP",
    "\\OV\\OVENV.EXE",
    "\\OV\\SCRIPTS\\PDF\\PDFPRE.VBS",
    "\\OV\\SCRIPTS\\PDF\\PDFPOST.VBS",
    "\\OV\\SCRIPTS\\PDF\\PDFNOTES.TXT",
};

inline constexpr const char* Profile = "\\OV\\OV.INI";
inline constexpr const char* VersionSection = "OV";
inline constexpr const char* VersionKey = "Version";
inline constexpr const char* NoVersion = "None";

// Everything installed: seven files, the start line and the recorded version.
inline constexpr int FullScore = 9;

}  // namespace orv::addon
