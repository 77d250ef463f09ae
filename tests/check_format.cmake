# The C and C++ sources are formatted by the checked-in .clang-format. The model's tables are left
# out: they are the generator's output, kept byte for byte as it writes them.
file(GLOB_RECURSE sources LIST_DIRECTORIES false
     RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.c
     ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.c
     ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.c
     ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h ${SOURCE_DIR}/bench/*.c)
list(FILTER sources EXCLUDE REGEX "mesh_tables\\.cpp$")
list(LENGTH sources count)
if(count LESS 20)
  message(FATAL_ERROR "found only ${count} sources under ${SOURCE_DIR}")
endif()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "not formatted (run clang-format -i on these):\n${err}")
endif()
message(STATUS "${count} sources formatted")
