# Sets tavrel_prefix to the install prefix as an absolute path without a trailing slash, and
# defines tavrel_installed_path(<out> <path>): <prefix>/<path>, or <path> when it is absolute.
get_filename_component(tavrel_prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
if(NOT tavrel_prefix STREQUAL "/")
    string(REGEX REPLACE "/+$" "" tavrel_prefix "${tavrel_prefix}")
endif()

function(tavrel_installed_path out path)
    if(IS_ABSOLUTE "${path}")
        set(${out} "${path}" PARENT_SCOPE)
    elseif(tavrel_prefix STREQUAL "/")
        set(${out} "/${path}" PARENT_SCOPE)
    else()
        set(${out} "${tavrel_prefix}/${path}" PARENT_SCOPE)
    endif()
endfunction()
