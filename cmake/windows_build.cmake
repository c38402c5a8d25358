# The Windows cross build (cmake/toolchain-mingw64.cmake).
#
# No FLTK library for Windows can be had here, so the interface (ui/, app/)
# is compiled against the toolkit's headers as a check and never linked.
# Everything below the toolkit (core, texts, the settings store, the shell
# actions, the command line) is linked into test programs run under Wine.

# Every Windows program the build or ctest runs goes through Wine with the
# build's own prefix, so nothing touches the user's ~/.wine; quiet, and with
# no Mono or Gecko installer prompts.
set(FAN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEPREFIX=${FAN_WINE_PREFIX} WINEDEBUG=-all
    "WINEDLLOVERRIDES=mscoree,mshtml=" wine)

# The mapped-drive query lives in the network library.
target_link_libraries(fan_core PUBLIC mpr)

# The command line, split by the system, in a library of its own so that
# its test runs under Wine.
add_library(fan_command_line STATIC ${PROJECT_SOURCE_DIR}/app/command_line_win32.cpp)
target_include_directories(fan_command_line PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(fan_command_line PRIVATE ${FAN_WARNINGS})
target_link_libraries(fan_command_line PUBLIC shell32)

# The interface, compiled for Windows against the toolkit's and pixman's
# headers (the toolkit's bring in windows.h there) and never linked. Only
# the FL and pixman-1 folders are taken from the host's include tree; the
# rest of it is the host's C library.
set(FAN_FLTK_HEADERS ${CMAKE_BINARY_DIR}/fltk-headers)
file(MAKE_DIRECTORY ${FAN_FLTK_HEADERS})
file(CREATE_LINK /usr/include/FL ${FAN_FLTK_HEADERS}/FL SYMBOLIC)
fan_platform_sources(FAN_WIN_UI_SOURCES ${PROJECT_SOURCE_DIR}/ui)
fan_platform_sources(FAN_WIN_GUI_SOURCES ${PROJECT_SOURCE_DIR}/app)
list(FILTER FAN_WIN_GUI_SOURCES EXCLUDE REGEX "/command_line_win32\\.cpp$")
add_library(fan_gui_check_win32 OBJECT ${FAN_WIN_UI_SOURCES} ${FAN_WIN_GUI_SOURCES})
target_include_directories(fan_gui_check_win32 PRIVATE ${PROJECT_SOURCE_DIR})
target_include_directories(fan_gui_check_win32 SYSTEM PRIVATE ${FAN_FLTK_HEADERS} /usr/include/pixman-1)
# M_PI is an extension that mingw's math.h offers only on request.
target_compile_definitions(fan_gui_check_win32 PRIVATE WIN32 _WIN32_WINNT=0x0A00 _USE_MATH_DEFINES)
target_compile_options(fan_gui_check_win32 PRIVATE ${FAN_WARNINGS})

# The icon group 101 and the manifest. The icon is the program's own art,
# drawn at every size by a small tool that runs under Wine during the build.
enable_language(RC)
add_executable(make_icon_ico app/icon/make_icon_ico.cpp app/icon/ico_encoder.cpp app/app_icon.cpp)
target_include_directories(make_icon_ico PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(make_icon_ico PRIVATE ${FAN_WARNINGS})
set(FAN_ICON_DIR ${CMAKE_BINARY_DIR}/icon)
file(MAKE_DIRECTORY ${FAN_ICON_DIR})
add_custom_command(OUTPUT ${FAN_ICON_DIR}/fanorbiter.ico
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:make_icon_ico> fanorbiter.ico
  WORKING_DIRECTORY ${FAN_ICON_DIR}
  DEPENDS make_icon_ico
  COMMENT "Drawing the icon group")
add_library(fan_resources OBJECT app/icon/fanorbiter.rc)
target_include_directories(fan_resources PRIVATE ${PROJECT_SOURCE_DIR}/app/icon ${FAN_ICON_DIR})
set_source_files_properties(app/icon/fanorbiter.rc PROPERTIES
  OBJECT_DEPENDS "${FAN_ICON_DIR}/fanorbiter.ico;${PROJECT_SOURCE_DIR}/app/icon/fanorbiter.manifest")

if(FAN_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests/win32)
endif()
