# Runs the example generator into a scratch folder and compares every file it writes with
# examples/: the example files and the expected output that the end-to-end tests read must
# be what the current code writes. `make examples` writes them anew when a change is meant.
#
#   cmake -DGENERATOR=<make_examples> -DEXAMPLES=<examples/> -DSCRATCH=<folder> -P check_examples.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${GENERATOR} ${SCRATCH} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make_examples failed (${rc})")
endif()
file(GLOB written RELATIVE ${SCRATCH} ${SCRATCH}/*)
set(differing)
foreach(f ${written})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/${f} ${EXAMPLES}/${f}
                  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(NOT differs EQUAL 0)
    list(APPEND differing ${f})
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "examples/ is not what the generator writes now: ${differing} "
                      "(compare with ${SCRATCH}; `make examples` writes them anew)")
endif()
