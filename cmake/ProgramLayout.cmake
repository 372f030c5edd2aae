# The 32-bit programs' section layout: GNU ld's own linker script for the target, read from the linker when
# the build is configured, with two changes. A PE file pads each section to 512 bytes, so every section
# costs 256 bytes on average for nothing:
# - the unwind table ends the read-only data (.rdata) instead of making a section of its own: a marker of
#   8 bytes (kFrameTableMarker in the payload tool, which finds the table by it and writes the compact one
#   over both), then every .eh_frame input, between the symbols orv_eh_frame_start and orv_eh_frame_end;
# - the program's few words of writable data (.data) follow the imports (.idata), which are writable too.
# Sets ORV_PROGRAM_LINKER_SCRIPT. A linker whose script does not hold what these changes expect stops the
# configuration rather than link with a layout nobody checked.
function(_orv_replace_once text from to result)
  string(FIND "${text}" "${from}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${CMAKE_LINKER}'s default script has no \"${from}\": the layout changes of "
                        "cmake/ProgramLayout.cmake need a look for this linker")
  endif()
  string(REPLACE "${from}" "${to}" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${CMAKE_LINKER} --verbose OUTPUT_VARIABLE _orv_ld RESULT_VARIABLE _orv_ld_result)
string(FIND "${_orv_ld}" "==================================================" _orv_first)
string(FIND "${_orv_ld}" "==================================================" _orv_last REVERSE)
if(NOT _orv_ld_result EQUAL 0 OR _orv_first EQUAL _orv_last)
  message(FATAL_ERROR "${CMAKE_LINKER} --verbose gave no default linker script")
endif()
math(EXPR _orv_first "${_orv_first} + 50")
math(EXPR _orv_length "${_orv_last} - ${_orv_first}")
string(SUBSTRING "${_orv_ld}" ${_orv_first} ${_orv_length} _orv_script)

set(_orv_data "    __data_start__ = . ;
    *(.data)
    *(.data2)
    *(SORT(.data$*))
    KEEP(*(.jcr))
    __data_end__ = . ;
    *(.data_cygwin_nocopy)
")
_orv_replace_once("${_orv_script}" "  .data BLOCK(__section_alignment__) :
  {
${_orv_data}  }
" "" _orv_script)
_orv_replace_once("${_orv_script}" "    KEEP (SORT(*)(.idata$7))
" "    KEEP (SORT(*)(.idata$7))
${_orv_data}" _orv_script)
_orv_replace_once("${_orv_script}" "  .eh_frame BLOCK(__section_alignment__) :
  {
    KEEP(*(.eh_frame*))
  }
" "" _orv_script)
_orv_replace_once("${_orv_script}" "    __rt_psrelocs_end = .;
  }
" "    __rt_psrelocs_end = .;
    . = ALIGN(4);
    _orv_eh_frame_start = .;
    LONG(0x9d1be7a4); LONG(0xc3f05a62);
    KEEP(*(.eh_frame*))
    _orv_eh_frame_end = .;
  }
" _orv_script)
set(ORV_PROGRAM_LINKER_SCRIPT ${CMAKE_BINARY_DIR}/OrvandelProgram.ld)
file(WRITE ${ORV_PROGRAM_LINKER_SCRIPT} "${_orv_script}")
