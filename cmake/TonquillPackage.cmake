# Installation and the Debian package.
#
# The programs, the registration helper and the MIDI components go into one folder,
# lib/tonquill, because each finds the others beside itself (the folder of the running
# program); bin holds relative links to the three programs a user starts.

set(_programs tonquill tonquill-play mendalot tonquill-register)
if(TARGET tonquill-convert)
    list(APPEND _programs tonquill-convert)
endif()
install(TARGETS ${_programs} RUNTIME DESTINATION ${TONQUILL_PROGRAM_DIR})
install(TARGETS midiio32 midifl32 LIBRARY DESTINATION ${TONQUILL_PROGRAM_DIR})

# Links made here and installed as links: file(INSTALL) copies a link as a link.
set(_links ${PROJECT_BINARY_DIR}/bin-links)
file(MAKE_DIRECTORY ${_links})
list(REMOVE_ITEM _programs tonquill-register)
foreach(_program IN LISTS _programs)
    file(CREATE_LINK ../${TONQUILL_PROGRAM_DIR}/${_program} ${_links}/${_program} SYMBOLIC)
    install(FILES ${_links}/${_program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tonquill/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonquill)
set(CPACK_PACKAGE_VENDOR "Tonquill")
set(CPACK_PACKAGE_CONTACT "Tonquill developers <tonquill@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write music and play it on the PC speaker")
# Lines of at most 80 characters, as the package's long description has them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tonquill is a music editor for the computer's one-tone PC speaker: a list of\n"
    "lines, each with a length and up to two notes, entered on an on-screen piano\n"
    "keyboard. Two notes on one line are played by switching between them quickly.\n"
    "Optional mods play through the soundcard, MIDI devices, a formant voice or a\n"
    "serial motor controller.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps its debugging data; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tonquill.example.org/)
# The shared libraries the programs link against, read off the binaries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The MIDI and audio libraries open JACK when a server runs; the desktop and MIME
# databases are refreshed by the triggers of the packages that own them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2")
include(CPack)
