# The Windows program: a GUI program (no console window) that needs no DLL beyond those that come
# with Windows, and carries its icon group, version record and manifest.
if(EXE STREQUAL "")
  message("SKIPPED: no Windows program named "
          "(configure with -DHELICOID_WINDOWS_PROGRAM=helicoid.exe)")
  return()
endif()
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "${EXE} is missing (cmake --preset mingw && cmake --build --preset mingw)")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE headers RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (exit ${result})")
endif()

if(NOT headers MATCHES "\nSubsystem[ \t]+00000002")
  string(REGEX MATCH "\nSubsystem[^\n]*" subsystem "${headers}")
  message(FATAL_ERROR "not a Windows GUI program: ${subsystem}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${EXE}")
endif()
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|user32|gdi32|opengl32|msvcrt|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
    message(FATAL_ERROR "${EXE} imports ${dll}, which Windows does not provide")
  endif()
endforeach()

# The resources: exactly four types, RT_ICON (3) with the two images, RT_GROUP_ICON (14) with the
# one group 101 (0x65) that the window class loads, RT_VERSION (0x10) and RT_MANIFEST (0x18).
string(FIND "${headers}" "The .rsrc Resource Directory section:" at)
if(at LESS 0)
  message(FATAL_ERROR "${EXE} has no resources")
endif()
string(SUBSTRING "${headers}" ${at} -1 resources)
if(NOT resources MATCHES "^[^\n]*\n[^\n]*Type Table:[^\n]*IDs: 4\n"
   OR NOT resources MATCHES "Entry: ID: 0x000003[^\n]*\n[^\n]*Name Table:[^\n]*IDs: 2\n"
   OR NOT resources MATCHES "Entry: ID: 0x00000e[^\n]*\n[^\n]*Name Table:[^\n]*IDs: 1\n[^\n]*Entry: ID: 0x000065,"
   OR NOT resources MATCHES "Entry: ID: 0x000010[^\n]*\n[^\n]*Name Table:[^\n]*IDs: 1\n[^\n]*Entry: ID: 0x000001,"
   OR NOT resources MATCHES "Entry: ID: 0x000018[^\n]*\n[^\n]*Name Table:[^\n]*IDs: 1\n[^\n]*Entry: ID: 0x000001,")
  message(FATAL_ERROR "${EXE} lacks icon group 101 with two images, version record 1 or "
                      "manifest 1, or has other resources:\n${resources}")
endif()
