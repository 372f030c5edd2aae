; The yardstick for installing and removing: an NSIS installer of the same seven files and the same
; version key, built by bench/run.sh. makensis defines:
;   PAYLOAD  folder holding the seven files       OUTFILE  the program to write
;   STORED   defined: no compression (SetCompress off); else NSIS's default
;   REMOVE   defined: the program deletes what the installer wrote instead
; It finds ChemStation the way the installer does: [PCS] Path in chemstation.ini, else in win.ini.
Name "Orvandel"
OutFile "${OUTFILE}"
RequestExecutionLevel user
SilentInstall silent
!ifdef STORED
SetCompress off
!endif

Var root

Function .onInit
  ReadINIStr $root "$WINDIR\chemstation.ini" "PCS" "Path"
  StrCmp $root "" 0 +2
  ReadINIStr $root "$WINDIR\win.ini" "PCS" "Path"
  StrCmp $root "" 0 +2
  Abort
FunctionEnd

!ifndef REMOVE
Section
  SetOutPath "$root\OV"
  File "${PAYLOAD}/OV.MCX"
  File "${PAYLOAD}/ORVAND16.DLL"
  File "${PAYLOAD}/ORVAND32.DLL"
  File "${PAYLOAD}/OVENV.EXE"
  SetOutPath "$root\OV\SCRIPTS\PDF"
  File "${PAYLOAD}/PDFPRE.VBS"
  File "${PAYLOAD}/PDFPOST.VBS"
  File "${PAYLOAD}/PDFNOTES.TXT"
  WriteINIStr "$root\OV\OV.INI" "OV" "Version" "A.03.02"
SectionEnd
!else
Section
  Delete "$root\OV\OV.MCX"
  Delete "$root\OV\ORVAND16.DLL"
  Delete "$root\OV\ORVAND32.DLL"
  Delete "$root\OV\OVENV.EXE"
  Delete "$root\OV\SCRIPTS\PDF\PDFPRE.VBS"
  Delete "$root\OV\SCRIPTS\PDF\PDFPOST.VBS"
  Delete "$root\OV\SCRIPTS\PDF\PDFNOTES.TXT"
  DeleteINIStr "$root\OV\OV.INI" "OV" "Version"
SectionEnd
!endif
