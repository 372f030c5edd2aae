# The payload tool runs on the build machine. A native build makes it like any other program; a cross build
# compiles it with the build machine's own compiler, since the programs of the target cannot run here.
# Sets ORV_PAYLOAD_TOOL (the command) and ORV_PAYLOAD_TOOL_DEPENDS (what a rule that runs it depends on).
set(_orv_tool_dir ${CMAKE_CURRENT_LIST_DIR})
set(_orv_tool_sources ${_orv_tool_dir}/PayloadTool.cpp ${_orv_tool_dir}/MacroPackage.cpp
                      ${_orv_tool_dir}/NeLibrary.cpp ${_orv_tool_dir}/PeImage.cpp ${_orv_tool_dir}/FrameTable.cpp)

if(NOT CMAKE_CROSSCOMPILING)
  add_executable(orv_payload_tool ${_orv_tool_sources} ${PROJECT_SOURCE_DIR}/app/FrameRules.cpp)
  target_include_directories(orv_payload_tool PRIVATE ${_orv_tool_dir} ${PROJECT_SOURCE_DIR}/app)
  target_link_libraries(orv_payload_tool PRIVATE orv_payload)
  set(ORV_PAYLOAD_TOOL $<TARGET_FILE:orv_payload_tool>)
  set(ORV_PAYLOAD_TOOL_DEPENDS orv_payload_tool)
  return()
endif()

find_program(ORVANDEL_HOST_CXX NAMES c++ g++ clang++ DOC "The build machine's C++ compiler, for the payload tool")
if(NOT ORVANDEL_HOST_CXX)
  message(FATAL_ERROR "No C++ compiler for the build machine was found; the payload tool needs one. "
                      "Set ORVANDEL_HOST_CXX to its path.")
endif()
set(ORV_PAYLOAD_TOOL ${CMAKE_CURRENT_BINARY_DIR}/payload_tool)
if(CMAKE_HOST_WIN32)
  string(APPEND ORV_PAYLOAD_TOOL .exe)
endif()
# The tool takes its catalogue, record format and the lines of /version from the program's own sources, and
# reads frame descriptions as the program's unwinder does.
set(_orv_tool_program_sources ${PROJECT_SOURCE_DIR}/payload/PayloadItem.cpp ${PROJECT_SOURCE_DIR}/payload/Sha256.cpp
                              ${PROJECT_SOURCE_DIR}/app/FrameRules.cpp
                              ${PROJECT_SOURCE_DIR}/payload/VersionReport.cpp
                              ${PROJECT_SOURCE_DIR}/platform/Exceptions.cpp
                              ${PROJECT_SOURCE_DIR}/platform/JoinedText.cpp)
add_custom_command(
  OUTPUT ${ORV_PAYLOAD_TOOL}
  COMMAND ${ORVANDEL_HOST_CXX} -std=c++20 -O2 -I${_orv_tool_dir} -I${PROJECT_SOURCE_DIR}/payload
          -I${PROJECT_SOURCE_DIR}/app
          -I${PROJECT_SOURCE_DIR}/platform ${_orv_tool_sources}
          ${_orv_tool_program_sources} -o ${ORV_PAYLOAD_TOOL}
  DEPENDS ${_orv_tool_sources} ${_orv_tool_program_sources} ${_orv_tool_dir}/StandIns.h
          ${_orv_tool_dir}/PeImage.h ${_orv_tool_dir}/FrameTable.h ${PROJECT_SOURCE_DIR}/app/FrameRules.h
          ${PROJECT_SOURCE_DIR}/payload/PayloadItem.h
          ${PROJECT_SOURCE_DIR}/platform/Platform.h ${PROJECT_SOURCE_DIR}/platform/Exceptions.h
          ${PROJECT_SOURCE_DIR}/platform/JoinedText.h ${PROJECT_SOURCE_DIR}/payload/VersionReport.h
          ${PROJECT_SOURCE_DIR}/payload/Sha256.h
          ${PROJECT_SOURCE_DIR}/payload/AddonVersion.h
  COMMENT "Building the payload tool for the build machine"
  VERBATIM)
set(ORV_PAYLOAD_TOOL_DEPENDS ${ORV_PAYLOAD_TOOL})
