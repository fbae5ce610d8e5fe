# Runs last in an install: refreshes the desktop's caches of MIME types,
# desktop entries and icons under the prefix, so that the type, its program
# and the icons are known at once. A staged install (DESTDIR, as in a package
# build) leaves that to the package's own triggers.
#
# In: KESTREL_DATADIR (relative to the prefix).

if("$ENV{DESTDIR}" STREQUAL "")
  include("${CMAKE_CURRENT_LIST_DIR}/desktop_caches.cmake")
  kestrel_refresh_desktop_caches("${CMAKE_INSTALL_PREFIX}/${KESTREL_DATADIR}")
endif()
