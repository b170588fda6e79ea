# Installed files that name installed paths (a desktop entry's Exec=, the link that lets Nautilus
# load the New File module) are made at install time by the scripts in cmake/install/, so that
# they follow the prefix given then (`cmake --install build/default --prefix ~/.local`), not the
# one known at configure time. Those scripts run inside cmake_install.cmake, where
# CMAKE_INSTALL_PREFIX is that prefix.

set(TAVREL_INSTALL_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/install")

# tavrel_install_script(<script> [<variable> <value>]...)
#
# Runs cmake/install/<script>.cmake at install time with the variables set. Values are taken
# literally (no variable references expand in them).
function(tavrel_install_script script)
    set(code "")
    set(arguments ${ARGN})
    list(LENGTH arguments count)
    math(EXPR odd "${count} % 2")
    if(odd)
        message(FATAL_ERROR "tavrel_install_script(${script}): variables come in name/value pairs")
    endif()
    while(arguments)
        list(POP_FRONT arguments name value)
        string(APPEND code "set(${name} [==[${value}]==])\n")
    endwhile()
    string(APPEND code "include([==[${TAVREL_INSTALL_SCRIPTS}/${script}.cmake]==])\n")
    install(CODE "${code}")
endfunction()
