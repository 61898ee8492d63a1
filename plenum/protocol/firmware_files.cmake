# Firmware files: the image, the "obfd" container, S-records, synthetic standard files,
# and the tool that writes them. Included from this folder's CMakeLists.txt.
add_library(plenum_firmware STATIC
  firmware_image.cpp
  firmware_obf.cpp
  firmware_srecords.cpp
  firmware_synthetic.cpp
)
target_include_directories(plenum_firmware PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/../..)
target_compile_options(plenum_firmware PRIVATE ${PLENUM_WARNINGS})

add_executable(plenum-firmware tools/make_firmware.cpp)
target_compile_options(plenum-firmware PRIVATE ${PLENUM_WARNINGS})
target_link_libraries(plenum-firmware PRIVATE plenum_firmware)
set_target_properties(plenum-firmware PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The standard files, generated at build time into the build folder.
set(PLENUM_FIRMWARE_DIR ${CMAKE_BINARY_DIR}/firmware CACHE INTERNAL "synthetic standard firmware")
set(_firmware_outputs "")
foreach(_name nvrelay6.obf nvrelayi.obf nvrelayc.obf flashold.obf flashexec.obf)
  list(APPEND _firmware_outputs ${PLENUM_FIRMWARE_DIR}/${_name})
endforeach()
add_custom_command(
  OUTPUT ${_firmware_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PLENUM_FIRMWARE_DIR}
  COMMAND plenum-firmware --standard ${PLENUM_FIRMWARE_DIR}
  DEPENDS plenum-firmware
  COMMENT "Writing the synthetic standard firmware files")
add_custom_target(standard_firmware ALL DEPENDS ${_firmware_outputs})

plenum_add_tests(firmware_test
  SOURCES firmware_image_test.cpp firmware_obf_test.cpp firmware_srecords_test.cpp
  LIBS plenum_firmware)

# The copies in examples/firmware/ must be what the tool writes today.
foreach(_name nvrelay6.obf nvrelayi.obf nvrelayc.obf flashold.obf flashexec.obf)
  add_test(NAME example_firmware_${_name}
    COMMAND ${CMAKE_COMMAND} -E compare_files
      ${PLENUM_FIRMWARE_DIR}/${_name} ${PROJECT_SOURCE_DIR}/examples/firmware/${_name})
endforeach()

# The executive and download operations in plenum_protocol read firmware files.
target_link_libraries(plenum_protocol PUBLIC plenum_firmware)
