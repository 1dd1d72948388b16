// Writes data/unicode_tables.cpp from the Unicode Character Database and prints, per map, the
// units changed, the distinct blocks and the longest result.
//   unicode_tables [data folder, default /usr/share/unicode] [output file, default stdout]

#include "tools/unicode_tables/two_level_table.h"

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv) {
    const std::string dataDir = argc > 1 ? argv[1] : "/usr/share/unicode";
    try {
        std::vector<std::string> figures;
        const std::string source = sepmet::unicode_tables::GenerateTablesSource(dataDir, &figures);
        for (const auto& line : figures)
            std::fprintf(stderr, "%s\n", line.c_str());
        if (argc > 2) {
            std::ofstream out(argv[2], std::ios::binary);
            out << source;
            if (!out.flush())
                throw std::runtime_error(std::string("cannot write ") + argv[2]);
        } else {
            std::fwrite(source.data(), 1, source.size(), stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "unicode_tables: %s\n", error.what());
        return 1;
    }
    return 0;
}
