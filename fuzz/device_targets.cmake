# Fuzz targets of what readers and the system send the program: the channels'
# parsing of device and framework answers, and the device-change broadcast record.

# The channels, with the device sources compiled in for coverage. The target
# and the framework stand-in that answers from the input share a folder of
# their own, which the library search reads first for "winbio.dll".
set(channel_fuzz_dir ${CMAKE_BINARY_DIR}/fuzz-channels)
add_library(fuzz_framework SHARED fuzz_framework.cpp)
set_target_properties(fuzz_framework PROPERTIES
  OUTPUT_NAME winbio PREFIX "" SUFFIX ".dll"
  LIBRARY_OUTPUT_DIRECTORY ${channel_fuzz_dir})
target_include_directories(fuzz_framework PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(fuzz_framework PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all)
target_link_options(fuzz_framework PRIVATE -fsanitize=address,undefined)

add_executable(channel_fuzz channel_fuzz.cpp
  ${PROJECT_SOURCE_DIR}/device/qv_usb_device.cpp
  ${PROJECT_SOURCE_DIR}/device/wbf_usb_device.cpp
  ${PROJECT_SOURCE_DIR}/device/winbio_api.cpp
  ${PROJECT_SOURCE_DIR}/device/records.cpp
  ${PROJECT_SOURCE_DIR}/device/locks.cpp)
set_target_properties(channel_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${channel_fuzz_dir})
target_include_directories(channel_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(channel_fuzz PRIVATE ${fuzz_flags})
target_link_options(channel_fuzz PRIVATE ${fuzz_flags})
target_link_libraries(channel_fuzz PRIVATE platform)
add_dependencies(channel_fuzz fuzz_framework)

# The device-change broadcast record's reader.
add_executable(device_broadcast_fuzz device_broadcast_fuzz.cpp ${PROJECT_SOURCE_DIR}/app/device_broadcast.cpp)
target_include_directories(device_broadcast_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(device_broadcast_fuzz PRIVATE ${fuzz_flags})
target_link_options(device_broadcast_fuzz PRIVATE ${fuzz_flags})
