# A compiler cache speeds up rebuilds where one is installed; builds work the same without.
find_program(TOVI_CCACHE ccache)
if(TOVI_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${TOVI_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${TOVI_CCACHE})
endif()

# Compiler warnings and sanitizer flags shared by every target of the project.
add_library(tovi_options INTERFACE)
target_compile_options(tovi_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wimplicit-fallthrough
  $<$<BOOL:${TOVI_WERROR}>:-Werror>)

if(TOVI_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TOVI_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TOVI_FUZZ needs clang (use the 'fuzz' preset)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The maker's web site: the source-terms dialog, the about box and the standalone player open
# pages under it (header "maker_site.h" of the target tovi_maker_site).
set(TOVI_MAKER_SITE "https://www.kestrum.example" CACHE STRING
    "The maker's web site address, without a trailing slash")
configure_file(${CMAKE_CURRENT_LIST_DIR}/maker_site.h.in
               ${CMAKE_BINARY_DIR}/generated/maker_site.h @ONLY)
add_library(tovi_maker_site INTERFACE)
target_include_directories(tovi_maker_site INTERFACE ${CMAKE_BINARY_DIR}/generated)
