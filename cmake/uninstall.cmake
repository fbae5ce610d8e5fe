# The uninstall target: removes every file the last install from this build
# folder put in place, refreshes (or, where nothing is left for them, removes)
# the desktop's caches, and removes the folders that install created once
# they are empty.
#
# In: KESTREL_BUILD_DIR, KESTREL_DATADIR (relative to the prefix).

set(manifest "${KESTREL_BUILD_DIR}/install_manifest.txt")
set(record "${KESTREL_BUILD_DIR}/install_folders.txt")
if(NOT EXISTS "${manifest}")
  message(STATUS "Nothing to uninstall: ${manifest} does not exist")
  return()
endif()

file(STRINGS "${manifest}" files)
foreach(file IN LISTS files)
  if(EXISTS "${file}" OR IS_SYMLINK "${file}")
    message(STATUS "Uninstalling: ${file}")
    file(REMOVE "${file}")
  endif()
endforeach()

set(root "")
set(created "")
if(EXISTS "${record}")
  file(STRINGS "${record}" created)
  list(POP_FRONT created root staged)
endif()

if(root AND staged STREQUAL "not staged")
  include("${CMAKE_CURRENT_LIST_DIR}/desktop_caches.cmake")
  kestrel_refresh_desktop_caches("${root}/${KESTREL_DATADIR}")
endif()

# The deepest first, and only when empty: whatever else was put there stays.
list(SORT created ORDER DESCENDING)
foreach(folder IN LISTS created)
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    file(GLOB left LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
    if(NOT left)
      message(STATUS "Removing empty folder: ${folder}")
      file(REMOVE_RECURSE "${folder}")
    endif()
  endif()
endforeach()

file(REMOVE "${manifest}" "${record}")
