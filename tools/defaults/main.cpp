// tavrel-defaults: the preference domains from the command line (see defaults_tool.h).

#include <iostream>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "tools/defaults/defaults_tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return tavrel::runDefaultsTool(arguments, tavrel::platform::paths::preferencesDirectory(),
                                   std::cout, std::cerr);
}
