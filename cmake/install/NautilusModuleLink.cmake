# Install time: lets Nautilus load the New File module. Nautilus 43 loads extension modules from
# one directory fixed when it was built (libnautilus-extension-4's "extensiondir"), with no
# per-user directory and no environment variable that adds one. So a link to the installed
# module goes there only when the prefix is a system one (/usr, /usr/local) or when the build
# was pointed at another extension directory on purpose; for any other prefix (~/.local, /opt/…,
# a scratch directory) the system directory is left alone and the command that links the module
# is printed.
#   tavrel_nautilus_module              the module (relative to the prefix, or absolute)
#   tavrel_nautilus_extension_dir       where the link goes (TAVREL_NAUTILUS_EXTENSION_DIR)
#   tavrel_nautilus_default_extension_dir  Nautilus's own extension directory
include("${CMAKE_CURRENT_LIST_DIR}/InstallPrefix.cmake")

tavrel_installed_path(tavrel_module "${tavrel_nautilus_module}")
get_filename_component(tavrel_module_name "${tavrel_module}" NAME)
set(tavrel_link "${tavrel_nautilus_extension_dir}/${tavrel_module_name}")

set(tavrel_link_it FALSE)
if(tavrel_prefix STREQUAL "/usr" OR tavrel_prefix STREQUAL "/usr/local")
    set(tavrel_link_it TRUE)
elseif(NOT tavrel_nautilus_extension_dir STREQUAL tavrel_nautilus_default_extension_dir)
    set(tavrel_link_it TRUE)
endif()

if(tavrel_link_it)
    set(tavrel_link_dir "$ENV{DESTDIR}${tavrel_nautilus_extension_dir}")
    file(MAKE_DIRECTORY "${tavrel_link_dir}")
    message(STATUS "Linking: $ENV{DESTDIR}${tavrel_link} -> ${tavrel_module}")
    file(CREATE_LINK "${tavrel_module}" "$ENV{DESTDIR}${tavrel_link}" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "$ENV{DESTDIR}${tavrel_link}")
else()
    message(NOTICE
        "Not linking the Nautilus module: Nautilus loads extensions only from "
        "${tavrel_nautilus_extension_dir}, outside the prefix ${tavrel_prefix}. "
        "To offer \"新建文件\" in Nautilus, link it there and restart Nautilus:\n"
        "  sudo ln -sf '${tavrel_module}' '${tavrel_nautilus_extension_dir}/'\n"
        "  nautilus -q")
endif()
