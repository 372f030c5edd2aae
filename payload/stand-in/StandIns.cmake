# Stand-ins for the maker's seven files, of the same names, sizes and kinds, so that the installer can be
# built and tested without them. The texts are kept here as they are; the rest is made at build time. The two
# Windows programs need the target's compiler, so a native build has only the other five.
# Sets ORV_PAYLOAD_FILE_<item> for every item this build can make.
set(_orv_here ${CMAKE_CURRENT_LIST_DIR})
set(_orv_out ${CMAKE_CURRENT_BINARY_DIR}/stand-in)
file(MAKE_DIRECTORY ${_orv_out})

set(ORV_PAYLOAD_FILE_dePdfPreVbs ${_orv_here}/PDFPRE.VBS)
set(ORV_PAYLOAD_FILE_dePdfPostVbs ${_orv_here}/PDFPOST.VBS)
set(ORV_PAYLOAD_FILE_dePdfNotesTxt ${_orv_here}/PDFNOTES.TXT)

set(ORV_PAYLOAD_FILE_deOvMcx ${_orv_out}/OV.MCX)
add_custom_command(
  OUTPUT ${ORV_PAYLOAD_FILE_deOvMcx}
  COMMAND ${ORV_PAYLOAD_TOOL} macro deOvMcx ${ORV_PAYLOAD_FILE_deOvMcx}
  DEPENDS ${ORV_PAYLOAD_TOOL_DEPENDS}
  COMMENT "Making the stand-in OV.MCX"
  VERBATIM)

set(ORV_PAYLOAD_FILE_deOrvand16Dll ${_orv_out}/ORVAND16.DLL)
add_custom_command(
  OUTPUT ${ORV_PAYLOAD_FILE_deOrvand16Dll}
  COMMAND ${ORV_PAYLOAD_TOOL} ne deOrvand16Dll ORVAND16 ${ORV_PAYLOAD_FILE_deOrvand16Dll}
  DEPENDS ${ORV_PAYLOAD_TOOL_DEPENDS}
  COMMENT "Making the stand-in ORVAND16.DLL"
  VERBATIM)

if(NOT WIN32)
  return()
endif()

# Real 32-bit programs, small and reproducible, then padded with an overlay to their sizes. They are 32-bit
# whatever this build's architecture, as the maker's files are, so they are made with the i686 compiler
# rather than the build's own. Reproducible: no time stamp, no folder names, and a fixed image base (the
# linker would otherwise derive a DLL's from the full path of its output).
set(ORVANDEL_STANDIN_CC i686-w64-mingw32-gcc-win32 CACHE STRING "The i686 C compiler for the stand-in programs")
set(_orv_standin_flags -Os -Wall -Wextra -DWIN32_LEAN_AND_MEAN -s -mwindows -static-libgcc
                       -ffile-prefix-map=${_orv_here}/=stand-in/ -Wl,--no-insert-timestamp
                       -Wl,--disable-auto-image-base
                       -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1)
file(MAKE_DIRECTORY ${_orv_out}/unpadded)
foreach(entry deOrvand32Dll:orvand32.c:ORVAND32.DLL:-shared deOvEnvExe:ovenv.c:OVENV.EXE:)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 item)
  list(GET entry 1 source)
  list(GET entry 2 name)
  list(GET entry 3 kind)
  set(unpadded ${_orv_out}/unpadded/${name})
  add_custom_command(
    OUTPUT ${unpadded}
    COMMAND ${ORVANDEL_STANDIN_CC} ${_orv_standin_flags} ${kind} ${_orv_here}/${source} -o ${unpadded}
    DEPENDS ${_orv_here}/${source}
    COMMENT "Building the stand-in ${name} (i686)"
    VERBATIM)
  set(ORV_PAYLOAD_FILE_${item} ${_orv_out}/${name})
  add_custom_command(
    OUTPUT ${ORV_PAYLOAD_FILE_${item}}
    COMMAND ${ORV_PAYLOAD_TOOL} pad ${item} ${unpadded} ${ORV_PAYLOAD_FILE_${item}}
    DEPENDS ${ORV_PAYLOAD_TOOL_DEPENDS} ${unpadded}
    COMMENT "Padding the stand-in ${name}"
    VERBATIM)
endforeach()
