# Install time: configures a desktop entry with the installed program in Exec= and installs it.
#   tavrel_desktop_template     the entry's template; @TAVREL_DESKTOP_EXEC@ stands for the program
#   tavrel_desktop_name         the installed file's name
#   tavrel_desktop_destination  its directory (relative to the prefix, or absolute)
#   tavrel_desktop_executable   the program (relative to the prefix, or absolute)
#   tavrel_desktop_staging      a directory of the build tree for the configured file
include("${CMAKE_CURRENT_LIST_DIR}/InstallPrefix.cmake")

tavrel_installed_path(tavrel_exec "${tavrel_desktop_executable}")
tavrel_installed_path(tavrel_destination "${tavrel_desktop_destination}")

# The desktop entry format: an argument holding a reserved character is quoted, and inside the
# quotes " ` $ and \ take a backslash; then the string escaping of the value doubles every
# backslash. A literal % is written %%.
if(tavrel_exec MATCHES "[] \t\n\"'\\><~|&;$*?#()`[]")
    string(REPLACE "\\" "\\\\\\\\" tavrel_exec "${tavrel_exec}")
    string(REPLACE "\"" "\\\\\"" tavrel_exec "${tavrel_exec}")
    string(REPLACE "`" "\\\\`" tavrel_exec "${tavrel_exec}")
    string(REPLACE "$" "\\\\$" tavrel_exec "${tavrel_exec}")
    set(tavrel_exec "\"${tavrel_exec}\"")
endif()
string(REPLACE "%" "%%" TAVREL_DESKTOP_EXEC "${tavrel_exec}")

# One staging directory per destination, so that installs to several prefixes may run at once.
string(MD5 tavrel_stage "$ENV{DESTDIR}${tavrel_destination}")
set(tavrel_staged "${tavrel_desktop_staging}/${tavrel_stage}/${tavrel_desktop_name}")
configure_file("${tavrel_desktop_template}" "${tavrel_staged}" @ONLY)
file(INSTALL DESTINATION "${tavrel_destination}" TYPE FILE FILES "${tavrel_staged}")
