# Programs of the suite are laid out as bundle directories, in the build tree and when installed:
#
#   <Name>.app/Contents/Info.plist
#   <Name>.app/Contents/MacOS/<executable>
#   <Name>.app/Contents/Resources/...
#
# tavrel_add_bundle(<target>
#     BUNDLE_NAME <Name> IDENTIFIER <bundle id> DISPLAY_NAME <text> [NAME <CFBundleName>]
#     [AGENT] [EXTRA_PLIST <file with extra <key>/<value> lines>]
#     [RESOURCES <file>...])
set(TAVREL_BUNDLE_DIR "${CMAKE_BINARY_DIR}/bundles")
set(TAVREL_INSTALL_BUNDLE_DIR "${CMAKE_INSTALL_LIBDIR}/tavrel")

function(tavrel_add_bundle target)
    cmake_parse_arguments(ARG "AGENT" "BUNDLE_NAME;NAME;IDENTIFIER;DISPLAY_NAME;EXTRA_PLIST" "RESOURCES" ${ARGN})
    foreach(required BUNDLE_NAME IDENTIFIER DISPLAY_NAME)
        if(NOT ARG_${required})
            message(FATAL_ERROR "tavrel_add_bundle(${target}): ${required} is required")
        endif()
    endforeach()

    set(contents "${TAVREL_BUNDLE_DIR}/${ARG_BUNDLE_NAME}.app/Contents")
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME "${ARG_BUNDLE_NAME}"
        RUNTIME_OUTPUT_DIRECTORY "${contents}/MacOS")

    set(TAVREL_PLIST_IDENTIFIER "${ARG_IDENTIFIER}")
    set(TAVREL_PLIST_DISPLAY_NAME "${ARG_DISPLAY_NAME}")
    set(TAVREL_PLIST_NAME "${ARG_BUNDLE_NAME}")
    if(ARG_NAME)
        set(TAVREL_PLIST_NAME "${ARG_NAME}")
    endif()
    set(TAVREL_PLIST_EXECUTABLE "${ARG_BUNDLE_NAME}")
    set(TAVREL_PLIST_VERSION "${PROJECT_VERSION}")
    string(REPLACE "." "" TAVREL_PLIST_BUILD "${PROJECT_VERSION}")
    if(ARG_AGENT)
        set(TAVREL_PLIST_AGENT "<true/>")
    else()
        set(TAVREL_PLIST_AGENT "<false/>")
    endif()
    set(TAVREL_PLIST_EXTRA "")
    if(ARG_EXTRA_PLIST)
        file(READ "${ARG_EXTRA_PLIST}" TAVREL_PLIST_EXTRA)
    endif()
    configure_file("${PROJECT_SOURCE_DIR}/cmake/Info.plist.in" "${contents}/Info.plist" @ONLY)

    foreach(resource IN LISTS ARG_RESOURCES)
        get_filename_component(resource_name "${resource}" NAME)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory "${contents}/Resources"
            COMMAND ${CMAKE_COMMAND} -E copy_if_different "${resource}" "${contents}/Resources/${resource_name}"
            VERBATIM)
    endforeach()
    set_property(TARGET ${target} PROPERTY TAVREL_BUNDLE_CONTENTS "${contents}")

    set(install_contents "${TAVREL_INSTALL_BUNDLE_DIR}/${ARG_BUNDLE_NAME}.app/Contents")
    install(TARGETS ${target} RUNTIME DESTINATION "${install_contents}/MacOS")
    install(FILES "${contents}/Info.plist" DESTINATION "${install_contents}")
    if(ARG_RESOURCES)
        install(FILES ${ARG_RESOURCES} DESTINATION "${install_contents}/Resources")
    endif()
endfunction()
