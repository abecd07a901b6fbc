# Install-time step: writes the desktop entry with the launcher's installed path in its Exec
# key. The path is known only now, since `cmake --install --prefix` may choose another prefix
# than the configured one. Expects PONDLARK_DESKTOP_IN, PONDLARK_DESKTOP_OUT and
# PONDLARK_DESKTOP_BIN_DIR (the launcher's folder below the prefix).
set(exec "${CMAKE_INSTALL_PREFIX}/${PONDLARK_DESKTOP_BIN_DIR}/pondlark")
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
# file(INSTALL) puts DESTDIR in front itself and records the file in the install manifest.
file(INSTALL "${PONDLARK_DESKTOP_OUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")
