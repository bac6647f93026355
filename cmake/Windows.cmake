# The Windows build (cmake/mingw-w64.cmake, preset "windows"): tolvane-diag.exe
# on the Win32 toolkit, device/ and imaging/ against the real <windows.h>, and
# their tests with the platform and toolkit contract tests, run by CTest under
# Wine. The platform is the system itself.
# The simulated workstation builds too, as Windows binaries that a Wine prefix
# runs as the real ones.

# The program carries its icon, manifest and version as resources.
enable_language(RC)
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)
# mingw-w64 declares the thread-safe POSIX time calls (localtime_r) on request.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)
# The compiler's own runtime is linked in, so every program and module runs
# where only the system's libraries are.
add_link_options(-static)
# The Release program is what a technician downloads: without the symbols of
# the linked-in runtimes it is less than half the size.
add_link_options($<$<CONFIG:Release>:-s>)

# What platform/win32.h declares lives in these system libraries.
add_library(platform INTERFACE)
target_link_libraries(platform INTERFACE version gdi32 user32 uuid)

# Header-only libraries of the build host that the simulator uses. Each gets a
# folder holding a link to its own headers only, so that no other header of the
# host's /usr/include reaches the cross compiler.
function(tolvane_host_headers target folder)
  set(headers ${CMAKE_BINARY_DIR}/host-headers/${target})
  file(MAKE_DIRECTORY ${headers})
  file(CREATE_LINK /usr/include/${folder} ${headers}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  target_include_directories(${target} SYSTEM INTERFACE ${headers})
endfunction()
tolvane_host_headers(nlohmann_json::nlohmann_json nlohmann)
tolvane_host_headers(CLI11::CLI11 CLI)

if(TOLVANE_BUILD_TESTS)
  # GoogleTest from Debian's sources, built by this compiler. It is not the
  # project's code, so the project's warning options do not apply to it.
  set(INSTALL_GTEST OFF)
  get_directory_property(project_options COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${project_options}")
endif()
