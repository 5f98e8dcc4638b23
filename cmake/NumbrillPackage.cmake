# The Debian package, made by `cpack -G DEB` from a build configured for /usr with
# NUMBRILL_SYSTEM_INSTALL=ON (./build.sh package does both). Nothing in it lives in a
# user's data folder and it has no maintainer scripts, so installing, upgrading and
# removing it never touch a user's list.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME numbrill)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Numbrill")
set(CPACK_PACKAGE_CONTACT "Numbrill maintainers <numbrill@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memorise long numbers with the phonetic number code")
set(CPACK_PACKAGE_DESCRIPTION "Numbrill helps you remember long numbers (phone numbers, account numbers,
codes, the digits of pi) with the phonetic number code: every digit stands
for a few consonants and vowels are free, so a number turns into a short
chain of words that you can picture. Pick memory words from the candidates
a built-in dictionary of over 100,000 English words offers, store the chain
with a description, and practise in a timed self-test and with peg-word
tables.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${NUMBRILL_WEBSITE}")
# What the programs link, as dpkg-shlibdeps finds it, and the SVG plugins that Qt
# loads at run time to draw the pictures.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# The windows were laid out with this face standing in for Times New Roman.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_STRIP_FILES ON)
# Installed below DESTDIR with the real prefix, so that the desktop entry names
# /usr/bin/numbrill and the install does not register the packager.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_OUTPUT_FILE_PREFIX "${PROJECT_SOURCE_DIR}")
include(CPack)

# Debian's copyright file and changelog, compressed as policy wants it.
if(NUMBRILL_SYSTEM_INSTALL AND UNIX AND NOT APPLE)
    set(doc_dir "${CMAKE_INSTALL_DATADIR}/doc/numbrill")
    set(changelog "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
    add_custom_command(
        OUTPUT "${changelog}"
        COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/packaging/debian/changelog"
                "${CMAKE_BINARY_DIR}/packaging/changelog"
        COMMAND "${NUMBRILL_GZIP}" -9nf "${CMAKE_BINARY_DIR}/packaging/changelog"
        DEPENDS "${PROJECT_SOURCE_DIR}/packaging/debian/changelog"
        VERBATIM)
    add_custom_target(debian_changelog ALL DEPENDS "${changelog}")
    install(FILES "${changelog}" packaging/debian/copyright DESTINATION "${doc_dir}")
endif()
