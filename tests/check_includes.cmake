# Includes point down: a folder of src/ may include its own headers and those of the layers below
# it, never a layer above or beside it. Viewer code reaches the platform through platform/win32.h
# only, which alone decides whether <windows.h> is the real one.
set(layer_platform 0)
set(layer_scene 1)
set(layer_redraw 2)
set(layer_interaction 3)
set(layer_context 3)
set(layer_app 4)

# With PROBE_DIR, first prove that the check can fail: a copy of src/ with one upward include.
if(DEFINED PROBE_DIR)
  file(REMOVE_RECURSE ${PROBE_DIR})
  file(COPY ${SOURCE_DIR}/src DESTINATION ${PROBE_DIR})
  file(APPEND ${PROBE_DIR}/src/scene/frame.h "#include \"app/window_proc.h\"\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROBE_DIR} -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(result EQUAL 0 OR
     NOT said MATCHES "src/scene/frame.h: #include \"app/window_proc.h\" points up")
    message(FATAL_ERROR "the check missed an upward include:\n${said}")
  endif()
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}/src
     ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.c)
set(checked 0)
set(faults "")
foreach(file IN LISTS files)
  string(REGEX MATCH "^[^/]+" folder "${file}")
  if(NOT DEFINED layer_${folder})
    list(APPEND faults "src/${file}: folder ${folder} has no place among the layers")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS ${SOURCE_DIR}/src/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "<windows\\.h>" AND NOT file STREQUAL "platform/win32.h")
      list(APPEND faults "src/${file}: ${line} (use platform/win32.h)")
    elseif(line MATCHES "\"([^/\"]+)/[^\"]*\"")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target STREQUAL folder AND
         (NOT DEFINED layer_${target} OR NOT layer_${target} LESS layer_${folder}))
        list(APPEND faults "src/${file}: ${line} points up or sideways from ${folder}/")
      endif()
    endif()
  endforeach()
endforeach()

if(checked LESS 20)
  message(FATAL_ERROR "found only ${checked} sources under ${SOURCE_DIR}/src")
endif()
if(faults)
  list(JOIN faults "\n" faults)
  message(FATAL_ERROR "includes that do not point down:\n${faults}")
endif()
message(STATUS "${checked} sources include only their own folder and the layers below")
