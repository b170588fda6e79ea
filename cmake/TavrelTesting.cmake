include(GoogleTest)

# tavrel_add_gtest(<name> SOURCES <file>... [LIBS <target>...] [BUS] [TIMEOUT <seconds>] [LABELS <label>...])
#
# Every test runs through tests/isolate, which gives it a private HOME, XDG_DATA_HOME,
# XDG_CONFIG_HOME and XDG_RUNTIME_DIR and the offscreen Qt platform; BUS adds a private
# session bus (dbus-run-session). Each GoogleTest case becomes its own CTest test.
function(tavrel_add_gtest name)
    cmake_parse_arguments(ARG "BUS" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        TAVREL_BINARY_DIR="${CMAKE_BINARY_DIR}"
        TAVREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set(isolate "${PROJECT_SOURCE_DIR}/tests/isolate")
    if(ARG_BUS)
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${isolate};--bus")
    else()
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${isolate}")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
