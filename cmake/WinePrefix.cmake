# The Wine prefix of one test run, in the environment of CMAKE_CROSSCOMPILING_EMULATOR:
#   env WINEPREFIX=... cmake -DACTION=start|stop -P WinePrefix.cmake
# start fills the prefix (the first time), selects the null display driver so
# that windows work without a display, and keeps one server with the system's
# services (the kernel drivers' host among them) for the whole run; stop ends
# them. Nothing is started with CTest's output: a service holding that pipe
# would keep its test open until the time-out.
# Besides Mono and Gecko: no menu entries written on the host, and no debugger
# (a crash ends the process at once with a failure), for every later process too.
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d")
set(silent INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
set(checked ${silent} COMMAND_ERROR_IS_FATAL ANY)

# Ending a server that is not running is no failure.
if(ACTION STREQUAL "stop")
  execute_process(COMMAND wineserver -k ${silent})
  return()
endif()
execute_process(COMMAND wine wineboot --init ${checked})
execute_process(COMMAND wine reg add "HKCU\\Software\\Wine\\Drivers" /v Graphics /d null /f ${checked})
foreach(program winemenubuilder.exe winedbg.exe)
  execute_process(COMMAND wine reg add "HKCU\\Software\\Wine\\DllOverrides" /v ${program} /d "" /f ${checked})
endforeach()
# A server started before the choice keeps the old display driver.
execute_process(COMMAND wineserver -k ${silent})
execute_process(COMMAND wineserver -w ${checked})
execute_process(COMMAND wineserver -p ${checked})
execute_process(COMMAND wine wineboot ${checked})
