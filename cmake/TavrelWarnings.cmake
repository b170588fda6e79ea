# Warnings for everything we compile. Third-party headers arrive through imported targets and
# are therefore system includes, so they do not trip these.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wall -Wextra -Wpedantic -Wshadow=local)
else()
    # clang (the fuzz build) names GCC's -Wshadow=local differently.
    add_compile_options(-Wall -Wextra -Wpedantic -Wshadow-uncaptured-local)
endif()
if(TAVREL_WERROR)
    add_compile_options(-Werror)
endif()
