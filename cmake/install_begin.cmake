# Runs first in an install. Notes, in the build folder, where the install goes
# and which of its folders do not exist yet, so that uninstall takes away the
# folders this install created and no others.
#
# In: KESTREL_INSTALL_FOLDERS (relative to the prefix), KESTREL_BUILD_DIR.

cmake_path(SET root NORMALIZE "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "(.)/+$" "\\1" root "${root}")
set(record "${KESTREL_BUILD_DIR}/install_folders.txt")

# Installing again into the same place keeps what the first install created.
set(created "")
if(EXISTS "${record}")
  file(STRINGS "${record}" previous)
  list(POP_FRONT previous previous_root previous_staged)
  if(previous_root STREQUAL root)
    set(created ${previous})
  endif()
endif()

if(NOT IS_DIRECTORY "${root}")
  list(APPEND created "${root}")
endif()
foreach(folder IN LISTS KESTREL_INSTALL_FOLDERS)
  set(path "${root}/${folder}")
  while(NOT IS_DIRECTORY "${path}")
    string(LENGTH "${path}" length)
    string(LENGTH "${root}" root_length)
    if(length LESS_EQUAL root_length)
      break()
    endif()
    list(APPEND created "${path}")
    get_filename_component(path "${path}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES created)

# A staged install (DESTDIR, as in a package build) leaves the caches alone.
if("$ENV{DESTDIR}" STREQUAL "")
  set(staged "not staged")
else()
  set(staged "staged")
endif()
string(REPLACE ";" "\n" lines "${root};${staged};${created}")
file(WRITE "${record}" "${lines}\n")
