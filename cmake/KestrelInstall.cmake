# How the programs and their desktop files are installed: the folders an
# install writes to, entries that name the installed programs, and the steps
# run first and last in every install.
include(GNUInstallDirs)

# qrvtool's modules, which it finds relative to its own folder.
set(KESTREL_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/kestrel)

# Every folder the install writes to, under the prefix. Uninstall takes away
# those of them (and their parents) that the install created; a folder missing
# here would be left behind empty.
set(KESTREL_INSTALL_FOLDERS
  ${CMAKE_INSTALL_BINDIR}
  ${KESTREL_MODULE_DIR}
  ${CMAKE_INSTALL_MANDIR}/man1
  ${CMAKE_INSTALL_DATADIR}/applications
  ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  ${CMAKE_INSTALL_DATADIR}/metainfo
  ${CMAKE_INSTALL_DATADIR}/mime/packages
  ${CMAKE_INSTALL_DATADIR}/thumbnailers
  ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
)
foreach(size IN ITEMS 16 32 48 64 128 256)
  list(APPEND KESTREL_INSTALL_FOLDERS ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(KESTREL_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

# Installs TEMPLATE as DESTINATION/NAME with @PLAYER_PATH@, @QRVTOOL_PATH@ and
# @STILLBOX_PATH@ replaced by the installed programs' paths, and @PLAYER_EXEC@,
# @QRVTOOL_EXEC@ and @STILLBOX_EXEC@ by the same as the program of an Exec
# line. It is written at install time, when the prefix (perhaps given to
# cmake --install) is known.
function(kestrel_install_for_prefix template destination name)
  install(CODE "
    include(\"${KESTREL_CMAKE_DIR}/desktop_entry_values.cmake\")
    kestrel_program_values(\"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\" player qrvtool stillbox)
    set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\")
    message(STATUS \"Installing: \${target}\")
    configure_file(\"${template}\" \"\${target}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${target}\")
  ")
endfunction()

# Where the project's pages and the screenshots named in its AppStream data
# are published.
set(KESTREL_PUBLIC_URL "https://kestrel.orvane.example" CACHE STRING
    "Web address of the project's pages; the AppStream screenshots are under screenshots/")
set(KESTREL_RELEASE_DATE "2026-12-08")

# AppStream data of the program ID, from TEMPLATE with @KESTREL_PUBLIC_URL@,
# @PROJECT_VERSION@ and @KESTREL_RELEASE_DATE@ filled in.
function(kestrel_install_metainfo id template)
  configure_file(${template} ${CMAKE_CURRENT_BINARY_DIR}/${id}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endfunction()

# Run before anything else is installed.
macro(kestrel_install_begin)
  install(CODE "
    set(KESTREL_INSTALL_FOLDERS \"${KESTREL_INSTALL_FOLDERS}\")
    set(KESTREL_BUILD_DIR \"${CMAKE_BINARY_DIR}\")
    include(\"${KESTREL_CMAKE_DIR}/install_begin.cmake\")
  ")
endmacro()

# Run after everything else is installed; and the uninstall target.
macro(kestrel_install_end)
  install(CODE "
    set(KESTREL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    include(\"${KESTREL_CMAKE_DIR}/install_end.cmake\")
  ")
  add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DKESTREL_BUILD_DIR=${CMAKE_BINARY_DIR}
            -DKESTREL_DATADIR=${CMAKE_INSTALL_DATADIR} -P ${KESTREL_CMAKE_DIR}/uninstall.cmake
    COMMENT "Removing what the last install from this build folder put in place"
    USES_TERMINAL VERBATIM)
endmacro()
