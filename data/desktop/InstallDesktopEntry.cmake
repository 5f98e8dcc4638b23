# Run by `cmake --install`: writes the desktop entry with the program's installed
# path, which is known only now (`--prefix` may differ from the configured prefix),
# and installs it. Expects NUMBRILL_DESKTOP_TEMPLATE, NUMBRILL_DESKTOP_WORKDIR,
# NUMBRILL_DESKTOP_BINDIR and NUMBRILL_DESKTOP_APPDIR (the last two relative to the
# prefix, or absolute).
foreach(var NUMBRILL_DESKTOP_BINDIR NUMBRILL_DESKTOP_APPDIR)
    if(NOT IS_ABSOLUTE "${${var}}")
        set(${var} "${CMAKE_INSTALL_PREFIX}/${${var}}")
    endif()
endforeach()

# Quoted as an Exec argument (\ " ` $ escaped inside the quotes), then escaped once
# more as a string value of the entry (\ doubled), with % doubled for field codes.
set(program "${NUMBRILL_DESKTOP_BINDIR}/numbrill")
string(REPLACE "\\" "\\\\" program "${program}")
foreach(character "\"" "`" "$")
    string(REPLACE "${character}" "\\${character}" program "${program}")
endforeach()
string(REPLACE "\\" "\\\\" program "${program}")
string(REPLACE "%" "%%" program "${program}")

file(READ "${NUMBRILL_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@NUMBRILL_EXEC@" "\"${program}\"" entry "${entry}")

# One working copy per prefix, so installs to different prefixes do not meet.
string(MD5 prefix_hash "${NUMBRILL_DESKTOP_BINDIR}")
get_filename_component(name "${NUMBRILL_DESKTOP_TEMPLATE}" NAME)
string(REGEX REPLACE "\\.in$" "" name "${name}")
set(generated "${NUMBRILL_DESKTOP_WORKDIR}/${prefix_hash}/${name}")
file(WRITE "${generated}" "${entry}")
file(INSTALL DESTINATION "${NUMBRILL_DESKTOP_APPDIR}" TYPE FILE FILES "${generated}")
