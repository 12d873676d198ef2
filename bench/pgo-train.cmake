# Training run of the profile-guided build (cmake -P). Runs the instrumented
# katrel (TRAIN) in its three search modes on the input that GEN writes, in
# WORK, and copies the profile files of the core library from the
# instrumented build's object folder FROM to the same places under TO, where
# the compiler of the real build looks for them.
file(MAKE_DIRECTORY ${WORK})
file(GLOB_RECURSE old_profiles ${FROM}/*.gcda)
if(old_profiles)
  file(REMOVE ${old_profiles})
endif()

execute_process(COMMAND ${GEN} OUTPUT_FILE ${WORK}/training.fa RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the training input could not be written (${rc})")
endif()
# Every mode on one thread, and the direct search on two, so that both the
# one-thread pass and the threaded one are trained whatever the machine.
foreach(run "imperfect;1" "extendExact;1" "exact;1" "imperfect;2")
  list(GET run 0 mode)
  list(GET run 1 threads)
  execute_process(COMMAND ${TRAIN} --threads ${threads} --searchMode ${mode} ${WORK}/training.fa
                          ${WORK}/training.${mode}.${threads}.out
                  OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the training run in mode ${mode} with ${threads} threads failed (${rc})")
  endif()
endforeach()

file(GLOB_RECURSE profiles RELATIVE ${FROM} ${FROM}/*.gcda)
if(NOT profiles)
  message(FATAL_ERROR "the training run wrote no profile files under ${FROM}")
endif()
foreach(p ${profiles})
  get_filename_component(d ${TO}/${p} DIRECTORY)
  file(MAKE_DIRECTORY ${d})
  file(COPY ${FROM}/${p} DESTINATION ${d})
endforeach()
