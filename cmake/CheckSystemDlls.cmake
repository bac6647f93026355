# The Windows program needs no DLL beyond the system's own: copying the one
# .exe is enough. Fails naming every DLL the program imports that is not one
# of the system's DLLs it is meant to use (a runtime linked dynamically, a
# library of the project, a system DLL nobody chose).
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<file.exe> -P CheckSystemDlls.cmake

cmake_policy(VERSION 3.25)
set(system_dlls kernel32 user32 gdi32 comctl32 comdlg32 ole32 oleaut32 oleacc version advapi32 shell32 msvcrt)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
set(foreign "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: (.+)\\.[dD][lL][lL]$" "\\1" dll "${import}")
  string(TOLOWER "${dll}" dll)
  # The C runtime's API sets are part of the system.
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
    list(APPEND foreign ${dll})
  endif()
endforeach()
if(NOT imports)
  message(FATAL_ERROR "${PROGRAM} imports no DLL: not a program objdump can read")
endif()
if(foreign)
  message(FATAL_ERROR "${PROGRAM} imports DLLs beyond the system's own it may use: ${foreign}")
endif()
