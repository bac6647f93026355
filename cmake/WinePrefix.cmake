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
set(quiet INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null COMMAND_ERROR_IS_FATAL ANY)

if(ACTION STREQUAL "stop")
  execute_process(COMMAND wineserver -k ${quiet})
  return()
endif()
execute_process(COMMAND wine wineboot --init ${quiet})
execute_process(COMMAND wine reg add "HKCU\\Software\\Wine\\Drivers" /v Graphics /d null /f ${quiet})
foreach(program winemenubuilder.exe winedbg.exe)
  execute_process(COMMAND wine reg add "HKCU\\Software\\Wine\\DllOverrides" /v ${program} /d "" /f ${quiet})
endforeach()
# A server started before the choice keeps the old display driver.
execute_process(COMMAND wineserver -k INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
execute_process(COMMAND wineserver -w ${quiet})
execute_process(COMMAND wineserver -p ${quiet})
execute_process(COMMAND wine wineboot ${quiet})
