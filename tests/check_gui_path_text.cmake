# Fails when an interface source turns a path into text or text into a path
# through the standard library rather than through core/path_text.h. On
# Windows the library reads a std::string one byte per character and throws
# on a name that is not valid UTF-16; only pathText and pathFromText keep
# every name intact, and only they run in the Windows tests.
# Run by ctest as: cmake -DROOT=<source tree> -P check_gui_path_text.cmake
#
# The interface sources are every file of ui/ and each file of app/ that
# reaches the toolkit (directly, through ui/ or through the window's own
# header); the rest of app/ is toolkit-free and tested on both
# platforms.
cmake_minimum_required(VERSION 3.20)
file(GLOB ui_files ${ROOT}/ui/*.h ${ROOT}/ui/*.cpp)
file(GLOB app_files ${ROOT}/app/*.h ${ROOT}/app/*.cpp)
set(files ${ui_files})
foreach(file ${app_files})
  file(STRINGS ${file} gui_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](FL/|ui/|app/app\\.h\")")
  if(gui_includes)
    list(APPEND files ${file})
  endif()
endforeach()

set(conversions "\\.(generic_)?(u8)?string\\(\\)|u8path\\(|filesystem::path\\([^)]")
include(${CMAKE_CURRENT_LIST_DIR}/source_lines.cmake)
fan_matching_lines(offenders "${files}" "${conversions}")
list(LENGTH files checked)
if(checked LESS 10)
  message(FATAL_ERROR "only ${checked} interface sources found under ${ROOT}")
endif()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "paths converted by the standard library in the interface (use pathText / pathFromText):\n  ${text}")
endif()
message(STATUS "${checked} interface sources convert paths only through pathText and pathFromText")
