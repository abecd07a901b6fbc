# Install-time step: writes the desktop entry with the launcher's installed path in its Exec
# key. The path is known only now, since `cmake --install --prefix` may choose another prefix
# than the configured one. Expects PONDLARK_DESKTOP_IN and PONDLARK_DESKTOP_OUT.
set(exec "${CMAKE_INSTALL_PREFIX}/bin/pondlark")
# A quoted Exec argument escapes \ " ` and $ with a backslash; as a string value of the entry
# every backslash is then escaped once more, and % is the field-code character.
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "\$" "\\\$" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(PONDLARK_DESKTOP_EXEC "\"${exec}\"")
configure_file("${PONDLARK_DESKTOP_IN}" "${PONDLARK_DESKTOP_OUT}" @ONLY)
set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications")
file(INSTALL "${PONDLARK_DESKTOP_OUT}" DESTINATION "${destination}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/share/applications/pondlark.desktop")
