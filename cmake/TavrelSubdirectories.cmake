# tavrel_add_subdirectories(): adds every direct subdirectory that has a CMakeLists.txt, in name
# order, so a new module or test area needs no edit of its parent.
function(tavrel_add_subdirectories)
    file(GLOB children LIST_DIRECTORIES true RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
         "${CMAKE_CURRENT_SOURCE_DIR}/*")
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${child}" AND
           EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt")
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
