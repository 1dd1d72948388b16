// sepmet-demo-database FILE: writes the demo analysis database with the host's tables.

#include "demo/demo_database.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sepmet-demo-database FILE\n");
        return 2;
    }
    const std::string error = sepmet::demo::WriteDemoDatabase(argv[1]);
    if (!error.empty()) {
        std::fprintf(stderr, "sepmet-demo-database: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
