# Runs a generator into the build directory and fails when what it writes differs from the
# committed files, so that the two can never drift apart.
#   GENERATOR  the generator executable
#   COMMITTED  the committed files, in the order the generator takes its output paths
#   OUTPUT_DIR where the fresh copies go
set(outputs)
foreach(file IN LISTS COMMITTED)
  get_filename_component(name ${file} NAME)
  list(APPEND outputs ${OUTPUT_DIR}/${name})
endforeach()
execute_process(COMMAND ${GENERATOR} ${outputs} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator refused to write its files (exit ${result})")
endif()
foreach(file output IN ZIP_LISTS COMMITTED outputs)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${output} ${file} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${file} differs from what the generator writes; regenerate it with "
                        "${GENERATOR} ${COMMITTED}")
  endif()
endforeach()
