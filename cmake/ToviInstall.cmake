# Installation: the program folder laid out as the programs expect it (the main program, the
# uninstaller and their libraries, "Binary\mkexe", "Binary\Roles.dat", "Tools\start.swf" and
# "Tools\FLVPlayer.swf"), a launcher on the PATH, the desktop entry, its icon and the MIME
# types. A plain "cmake --install" then registers the installation (cmake/ToviPostInstall.cmake);
# the Debian package made by CPack from the same rules does that in its maintainer scripts.
if(TOVI_FUZZ)
  return()  # the fuzz build makes no deliverables
endif()

set(TOVI_INSTALL_PROGRAM_DIR "lib/toviflash" CACHE STRING
    "The program folder, relative to the installation prefix")
set(TOVI_PACKAGE_NAME "toviflash")
set(program_dir ${TOVI_INSTALL_PROGRAM_DIR})
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

# The project's shared libraries that `roots` link, directly or through other targets.
function(tovi_linked_shared_libraries out)
  set(pending ${ARGN})
  set(seen "")
  set(found "")
  while(pending)
    list(POP_FRONT pending target)
    if(NOT TARGET ${target} OR target IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${target})
    get_target_property(imported ${target} IMPORTED)
    if(imported)
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
      list(APPEND found ${target})
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${target} ${property})
      foreach(link IN LISTS links)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        if(TARGET ${link})
          list(APPEND pending ${link})
        endif()
      endforeach()
    endforeach()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Programs of the program folder and the libraries they link; Tovilib is loaded by name at run
# time, and tovi holds the standalone builder, so both are shipped in any case.
set(programs "")
foreach(target ToviFlash Uninstall toviflash-setup)
  if(TARGET ${target})
    list(APPEND programs ${target})
  endif()
endforeach()
tovi_linked_shared_libraries(libraries ${programs} tovi Tovilib UI)
install(TARGETS ${programs} RUNTIME DESTINATION ${program_dir})
install(TARGETS ${libraries} LIBRARY DESTINATION ${program_dir})

# The standalone stub as the build leaves it in its program folder (the builder copies that file
# whole): installed byte for byte.
if(TARGET ToviPlayer)
  install(PROGRAMS ${TOVI_PROGRAM_DIR}/Binary/mkexe DESTINATION ${program_dir}/Binary)
endif()
# Data files that the build generates into its program folder.
install(FILES ${TOVI_PROGRAM_DIR}/Binary/Roles.dat DESTINATION ${program_dir}/Binary OPTIONAL)
install(FILES ${TOVI_PROGRAM_DIR}/Tools/start.swf ${TOVI_PROGRAM_DIR}/Tools/FLVPlayer.swf
        DESTINATION ${program_dir}/Tools OPTIONAL)

# The launcher: a relative link from bin to the main program, so the program still finds its
# folder through its own path.
if(TARGET ToviFlash)
  file(RELATIVE_PATH launcher_folder /prefix/bin /prefix/${program_dir})
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/launcher_target.txt
       CONTENT "${launcher_folder}/$<TARGET_FILE_NAME:ToviFlash>")
  install(CODE "
    file(READ \"${CMAKE_BINARY_DIR}/packaging/launcher_target.txt\" target)
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK \"\${target}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/toviflash\"
         SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/bin/toviflash\")
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/toviflash\")")
endif()

# Desktop integration.
install(FILES ${packaging}/toviflash.desktop DESTINATION share/applications)
install(FILES ${packaging}/icons/toviflash.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${packaging}/toviflash-mime.xml DESTINATION share/mime/packages
        RENAME toviflash.xml)

# A plain installation registers itself and writes its removal script; a staged one (DESTDIR,
# or the package being made) leaves that to the package's scripts.
install(CODE "set(TOVI_INSTALL_PROGRAM_DIR \"${program_dir}\")
              set(TOVI_PACKAGING_DIR \"${packaging}\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/ToviPostInstall.cmake)

# The Debian package.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME ${TOVI_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "kestrum")
set(CPACK_PACKAGE_CONTACT "kestrum <toviflash@kestrum.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ToviFlash播放器: Flash animation (SWF) and Flash video (FLV) player")
set(CPACK_PACKAGE_DESCRIPTION
    "Plays Flash animations and Flash videos, keeps a playlist and a history, and turns a movie into a standalone player.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "video")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${TOVI_PROGRAM_DIR})
# pkexec asks for the administrator's password when the uninstaller starts the removal.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec")
set(deb_scripts ${CMAKE_BINARY_DIR}/packaging/deb)
foreach(script postinst prerm)
  configure_file(${packaging}/deb/${script}.in ${deb_scripts}/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${deb_scripts}/postinst ${deb_scripts}/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Tells the install step that it runs to make the package.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/ToviCPackStaging.cmake)
include(CPack)
