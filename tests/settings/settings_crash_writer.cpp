// Saves the two crash documents in turn, for ever, and writes one byte to standard output after
// each completed save. The crash test kills it at random moments. With "fast" the saves skip
// the fsyncs (still atomic against a killed process, which is what the test looks at).

#include <cstdio>
#include <string_view>

#include <unistd.h>

#include "settings_crash_documents.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: settings_crash_writer DIRECTORY durable|fast\n", stderr);
        return 2;
    }
    tavrel::SettingsEnvironment environment;
    environment.directory = argv[1];
    environment.durability = std::string_view(argv[2]) == "fast"
                                 ? tavrel::platform::Durability::fast
                                 : tavrel::platform::Durability::durable;
    const tavrel::TaskbarSettings documents[] = {tavrel::test::crashDocument(0),
                                                 tavrel::test::crashDocument(1)};
    for (unsigned long round = 0;; ++round) {
        if (!documents[round % 2].save(environment).ok()) return 1;
        if (::write(STDOUT_FILENO, "s", 1) != 1) return 1;
    }
}
