# The Windows cross build (cmake/toolchain-mingw64.cmake).
#
# No FLTK library for Windows can be had here, so the interface (ui/, app/)
# is compiled against the toolkit's headers as a check and never linked.
# Everything below the toolkit (core, texts, the settings store, the shell
# actions, the command line) is linked into test programs run under Wine.

# The mapped-drive query lives in the network library.
target_link_libraries(fan_core PUBLIC mpr)

# The settings store and its system queries, as on Linux.
fan_platform_sources(FAN_WIN_APP_SOURCES ${PROJECT_SOURCE_DIR}/app)
set(FAN_WIN_SETTINGS_SOURCES ${FAN_WIN_APP_SOURCES})
list(FILTER FAN_WIN_SETTINGS_SOURCES INCLUDE REGEX "/(settings_|system_preferences_)[^/]*\\.cpp$")
add_library(fan_settings STATIC ${FAN_WIN_SETTINGS_SOURCES})
target_include_directories(fan_settings PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(fan_settings PRIVATE ${FAN_WARNINGS})
target_link_libraries(fan_settings PUBLIC fan_core advapi32)

# The shell actions and the command line.
set(FAN_WIN_SHELL_SOURCES ${FAN_WIN_APP_SOURCES})
list(FILTER FAN_WIN_SHELL_SOURCES INCLUDE REGEX "/(shell_actions|command_line)_win32\\.cpp$")
add_library(fan_shell STATIC ${FAN_WIN_SHELL_SOURCES})
target_include_directories(fan_shell PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(fan_shell PRIVATE ${FAN_WARNINGS})
target_link_libraries(fan_shell PUBLIC shell32)

if(FAN_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests/win32)
endif()
