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

# Real 32-bit programs, small and reproducible (no time stamp), then padded with an overlay to their sizes.
add_library(orv_standin_orvand32 SHARED ${_orv_here}/orvand32.c)
add_executable(orv_standin_ovenv WIN32 ${_orv_here}/ovenv.c)
set_target_properties(orv_standin_orvand32 PROPERTIES PREFIX "" OUTPUT_NAME ORVAND32 SUFFIX .DLL)
set_target_properties(orv_standin_ovenv PROPERTIES OUTPUT_NAME OVENV SUFFIX .EXE)
foreach(target orv_standin_orvand32 orv_standin_ovenv)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_orv_out}/unpadded
                                             ARCHIVE_OUTPUT_DIRECTORY ${_orv_out}/unpadded)
  target_link_options(${target} PRIVATE -s -mwindows -Wl,--no-insert-timestamp)
endforeach()

foreach(pair deOrvand32Dll:orv_standin_orvand32 deOvEnvExe:orv_standin_ovenv)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 item)
  list(GET pair 1 target)
  get_target_property(name ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  set(ORV_PAYLOAD_FILE_${item} ${_orv_out}/${name}${suffix})
  add_custom_command(
    OUTPUT ${ORV_PAYLOAD_FILE_${item}}
    COMMAND ${ORV_PAYLOAD_TOOL} pad ${item} $<TARGET_FILE:${target}> ${ORV_PAYLOAD_FILE_${item}}
    DEPENDS ${ORV_PAYLOAD_TOOL_DEPENDS} ${target}
    COMMENT "Padding the stand-in ${name}${suffix}"
    VERBATIM)
endforeach()
