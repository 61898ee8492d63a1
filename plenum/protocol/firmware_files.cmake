# Firmware files: the image, the "obfd" container, S-records. Included from this folder's
# CMakeLists.txt; the synthetic standard files and their writer are in tools/.
add_library(plenum_firmware STATIC
  firmware_image.cpp
  firmware_obf.cpp
  firmware_srecords.cpp
)
target_include_directories(plenum_firmware PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/../..)
target_compile_options(plenum_firmware PRIVATE ${PLENUM_WARNINGS})

plenum_add_tests(firmware_test
  SOURCES firmware_image_test.cpp firmware_obf_test.cpp firmware_srecords_test.cpp
  LIBS plenum_firmware)

# The executive and download operations in plenum_protocol read firmware files.
target_link_libraries(plenum_protocol PUBLIC plenum_firmware)
