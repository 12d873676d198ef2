# Writes the manual page katrel.1 with help2man from the program's own
# --help and --version output and the extra sections in katrel.h2m.
#
#   cmake -DKATREL=path/to/katrel -DHELP2MAN=path/to/help2man
#         -DINCLUDE=driver/katrel.h2m -DOUTPUT=katrel.1 -P katrel-man.cmake
#
# The program is run through PATH under its bare name: its usage text shows
# the name it was called by, and the page should say "katrel", not the path
# of the build folder. The first line of `katrel --version` is blank, which
# help2man cannot parse, so the version number is taken out here and handed
# over with --version-string.

foreach(var KATREL HELP2MAN INCLUDE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "katrel-man.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${KATREL} --version
  OUTPUT_VARIABLE version_text ERROR_QUIET RESULT_VARIABLE version_status)
if(NOT version_status EQUAL 0 OR NOT version_text MATCHES "version: ([0-9]+(\\.[0-9]+)*)")
  message(FATAL_ERROR "katrel-man.cmake: no version number in the output of `${KATREL} --version`")
endif()
set(version ${CMAKE_MATCH_1})

get_filename_component(program_dir ${KATREL} DIRECTORY)
get_filename_component(program_name ${KATREL} NAME)
set(ENV{PATH} "${program_dir}:$ENV{PATH}")

# Written beside the target first, so that a failed run leaves no half page.
execute_process(COMMAND ${HELP2MAN}
    --include=${INCLUDE} --version-string=${version} --output=${OUTPUT}.tmp
    ${program_name}
  RESULT_VARIABLE help2man_status)
if(NOT help2man_status EQUAL 0)
  file(REMOVE ${OUTPUT}.tmp)
  message(FATAL_ERROR "katrel-man.cmake: help2man failed for ${KATREL}")
endif()
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
