# Fails when a file of core/, texts/, settings/ or shell/ includes a toolkit
# or X11 header.
# Run by ctest as: cmake -DROOT=<source tree> -P check_toolkit_free.cmake
set(files "")
foreach(layer core texts settings shell)
  file(GLOB_RECURSE layer_files ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
  list(APPEND files ${layer_files})
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/source_lines.cmake)
fan_matching_lines(offenders "${files}" "^[ \t]*#[ \t]*include[ \t]*[<\"](FL|X11)/")
list(LENGTH files checked)
if(checked EQUAL 0)
  message(FATAL_ERROR "no sources found under the toolkit-free layers of ${ROOT}")
endif()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "toolkit headers in the toolkit-free layers:\n  ${text}")
endif()
message(STATUS "${checked} files of core/, texts/, settings/ and shell/ include no toolkit header")
