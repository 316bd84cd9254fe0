# Third-party libraries, all from Debian packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# wxWidgets: one interface target for the non-GUI base library, one for the GUI.
function(tovi_wx_target name)
  set(wxWidgets_CONFIG_OPTIONS --toolkit=gtk3 --unicode=yes)
  find_package(wxWidgets 3.2 REQUIRED COMPONENTS ${ARGN})
  add_library(${name} INTERFACE)
  target_include_directories(${name} SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(${name} INTERFACE ${wxWidgets_DEFINITIONS})
  target_compile_options(${name} INTERFACE ${wxWidgets_CXX_FLAGS})
  target_link_libraries(${name} INTERFACE ${wxWidgets_LIBRARIES})
endfunction()
tovi_wx_target(tovi_wxbase base)
tovi_wx_target(tovi_wxgui ribbon aui adv html core base)

pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
                  libavcodec libavformat libavutil libswscale libswresample)
find_package(ZLIB REQUIRED)
find_package(LibLZMA REQUIRED)
find_package(JPEG REQUIRED)

if(NOT TOVI_FUZZ)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
endif()
