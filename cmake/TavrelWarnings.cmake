# Warnings for everything we compile. Third-party headers arrive through imported targets and
# are therefore system includes, so they do not trip these.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow=local)
if(TAVREL_WERROR)
    add_compile_options(-Werror)
endif()
