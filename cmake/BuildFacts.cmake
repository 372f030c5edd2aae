# Run at every build (cmake -P): writes what the Windows programs take from the source tree, each file only
# when its content changes, so that an unchanged tree rebuilds nothing.
#   -DSOURCE_DIR=<the source tree> -DOUTPUT_DIR=<where the files go>
# BuildCommit.h: the commit checked out ("unknown" outside git, "-modified" after it when tracked files
# differ from it). SourceDateEpoch.txt: the programs' time stamp in seconds since 1970, SOURCE_DATE_EPOCH
# when set, else the time of that commit, so that two builds of one commit carry the same bytes.
find_program(GIT git)
set(commit unknown)
set(epoch 0)
if(GIT)
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --verify HEAD
                  OUTPUT_VARIABLE head RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed AND head MATCHES "^[0-9a-f]+$")
    set(commit ${head})
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} diff --quiet HEAD -- RESULT_VARIABLE modified ERROR_QUIET)
    if(modified)
      string(APPEND commit -modified)
    endif()
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} log -1 --format=%ct HEAD
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
endif()
# A PE time stamp is 32 bits without sign.
if(NOT epoch MATCHES "^[0-9]+$" OR epoch GREATER 4294967295)
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be whole seconds since 1970 up to 4294967295, not '${epoch}'")
endif()

function(write_if_changed name content)
  file(WRITE ${OUTPUT_DIR}/${name}.new "${content}")
  file(COPY_FILE ${OUTPUT_DIR}/${name}.new ${OUTPUT_DIR}/${name} ONLY_IF_DIFFERENT)
  file(REMOVE ${OUTPUT_DIR}/${name}.new)
endfunction()
write_if_changed(BuildCommit.h "// Made by cmake/BuildFacts.cmake at build time.\n#define ORV_BUILD_COMMIT \"${commit}\"\n")
write_if_changed(BuildCommit.txt "${commit}\n")
write_if_changed(SourceDateEpoch.txt "${epoch}\n")
