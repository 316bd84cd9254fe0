# Runs at the end of a plain "cmake --install": writes the removal script for exactly the files
# installed, brings the desktop's MIME and application caches of the prefix up to date, runs
# the uninstaller's register mode and records the uninstall entry naming the removal script.
# Staged installations (DESTDIR, or cpack making the package) skip all of it.
if(NOT "$ENV{DESTDIR}" STREQUAL "" OR "$ENV{TOVI_PACKAGE_STAGING}")
  message(STATUS "Staged installation: registration is left to the package's scripts")
  return()
endif()

set(prefix "${CMAKE_INSTALL_PREFIX}")
set(program_dir "${prefix}/${TOVI_INSTALL_PROGRAM_DIR}")
set(removal_script "${program_dir}/remove-toviflash.sh")

# Quotes a path for the shell: single quotes, with each quote inside closed and reopened.
function(tovi_shell_quote out text)
  string(REPLACE "'" "'\\''" text "${text}")
  set(${out} "'${text}'" PARENT_SCOPE)
endfunction()

set(files ${CMAKE_INSTALL_MANIFEST_FILES} "${removal_script}")
list(REMOVE_DUPLICATES files)
# Every folder below the prefix that holds an installed file, and the program folder's data
# folders (made even when a data file was not there to install), deepest first.
set(folders "")
foreach(file IN LISTS files ITEMS "${program_dir}/Binary/." "${program_dir}/Tools/.")
  get_filename_component(folder "${file}" DIRECTORY)
  while(NOT folder STREQUAL prefix)
    cmake_path(IS_PREFIX prefix "${folder}" NORMALIZE inside)
    if(NOT inside)
      break()
    endif()
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)

tovi_shell_quote(PROGRAM_DIR_Q "${program_dir}")
tovi_shell_quote(PREFIX_Q "${prefix}")
string(REPLACE ";" "\n" FILE_LINES "${files}")
string(REPLACE ";" "\n" FOLDER_LINES "${folders}")
configure_file("${TOVI_PACKAGING_DIR}/remove-toviflash.sh.in" "${removal_script}" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
message(STATUS "Installing: ${removal_script}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${removal_script}")

find_program(TOVI_UPDATE_MIME update-mime-database)
find_program(TOVI_UPDATE_DESKTOP update-desktop-database)
if(TOVI_UPDATE_MIME)
  execute_process(COMMAND "${TOVI_UPDATE_MIME}" "${prefix}/share/mime")
endif()
if(TOVI_UPDATE_DESKTOP)
  execute_process(COMMAND "${TOVI_UPDATE_DESKTOP}" -q "${prefix}/share/applications")
endif()

# Register mode, with any message on the terminal rather than in a window.
if(EXISTS "${program_dir}/Uninstall")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          "${program_dir}/Uninstall" /Register)
endif()
execute_process(COMMAND "${program_dir}/toviflash-setup" record "\"${removal_script}\""
                RESULT_VARIABLE recorded)
if(NOT recorded EQUAL 0)
  message(WARNING "The uninstall entry could not be recorded (run the installation as root); "
                  "remove this installation with ${removal_script}")
endif()
