# Runs at the end of a plain "cmake --install": brings the desktop's MIME and application caches
# of the prefix up to date, writes the removal script with the manifest of exactly the files
# installed (and the database files the update made), runs the uninstaller's register mode and
# records the uninstall entry naming the removal script.
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

# Files under the desktop's MIME folder and the application entries' cache: what is there
# before the databases are brought up to date belongs to others.
function(tovi_database_files out)
  file(GLOB_RECURSE found LIST_DIRECTORIES false "${prefix}/share/mime/*")
  set(files "")
  foreach(file IN LISTS found)
    cmake_path(IS_PREFIX packages "${file}" NORMALIZE package)
    if(NOT package)
      list(APPEND files "${file}")
    endif()
  endforeach()
  if(EXISTS "${prefix}/share/applications/mimeinfo.cache")
    list(APPEND files "${prefix}/share/applications/mimeinfo.cache")
  endif()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
set(packages "${prefix}/share/mime/packages")

tovi_database_files(before)
find_program(TOVI_UPDATE_MIME update-mime-database)
find_program(TOVI_UPDATE_DESKTOP update-desktop-database)
if(TOVI_UPDATE_MIME)
  execute_process(COMMAND "${TOVI_UPDATE_MIME}" "${prefix}/share/mime")
endif()
if(TOVI_UPDATE_DESKTOP)
  execute_process(COMMAND "${TOVI_UPDATE_DESKTOP}" -q "${prefix}/share/applications")
endif()
# What the update made anew is ours to take away when nothing else feeds the databases.
tovi_database_files(generated)
if(before)
  list(REMOVE_ITEM generated ${before})
endif()

# The removal's manifest, one line a file, tab-separated: "F", the SHA-256 of the bytes
# installed and the path; "L", the target of an installed link and the path; "G", "-" and the
# path of a generated database file. The removal takes a file only while it is still what was
# installed.
set(files ${CMAKE_INSTALL_MANIFEST_FILES})
list(REMOVE_DUPLICATES files)
list(REMOVE_ITEM files "${removal_script}")
set(manifest "")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    file(READ_SYMLINK "${file}" target)
    string(APPEND manifest "L\t${target}\t${file}\n")
  elseif(EXISTS "${file}" AND NOT IS_DIRECTORY "${file}")
    file(SHA256 "${file}" sum)
    string(APPEND manifest "F\t${sum}\t${file}\n")
  endif()
endforeach()
foreach(file IN LISTS generated)
  string(APPEND manifest "G\t-\t${file}\n")
endforeach()
string(REGEX REPLACE "\n$" "" MANIFEST_LINES "${manifest}")

# Every folder below the prefix that holds an installed or generated file, and the program
# folder's data folders (made even when a data file was not there to install), deepest first.
set(folders "")
foreach(file IN LISTS files generated ITEMS "${removal_script}" "${program_dir}/Binary/."
                                            "${program_dir}/Tools/.")
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
string(REPLACE ";" "\n" FOLDER_LINES "${folders}")
configure_file("${TOVI_PACKAGING_DIR}/remove-toviflash.sh.in" "${removal_script}" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
message(STATUS "Installing: ${removal_script}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${removal_script}")

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
