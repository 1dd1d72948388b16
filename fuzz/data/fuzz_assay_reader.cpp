// The assay and peak reader over mutated analysis databases. A small database with the host's
// tables (assays of every kind of identifier, peaks with numbers, texts and blobs) is built once;
// each input is a list of patches (two bytes of offset, one byte of value) applied to its file
// image before every assay in it is read. A read may fail with SqlException; nothing else may
// go wrong.

#include "data/assay_collection.h"
#include "data/assay_queries.h"
#include "data/connection.h"
#include "demo/host_schema.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

namespace {

// In memory where the system offers it: the file is written anew for every input.
std::string FilePath() {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/sepmet-fuzz-assays-" + std::to_string(getpid()) + ".sqlite";
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The database before mutation, as the bytes of its file.
std::string BaseImage(const std::string& path) {
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        std::abort();
    sqlite3_exec(db, "PRAGMA page_size = 512", nullptr, nullptr, nullptr);
    sqlite3_exec(db, sepmet::kHostSchemaSql, nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "INSERT INTO assay VALUES(1, 1710230400, 'a.chr', '5 мг град', 'x', 'y', 1),"
                 " (-2, NULL, NULL, 'поглот', NULL, NULL, 0), (3000000000, 0, '', '', '', '', 2);"
                 "INSERT INTO peak(assayid, nameid, name, area, time, channel, front, back) VALUES"
                 " (1, 1, 'Метанол', 243.6, 1.5, 1, 0, 0), (1, 2, 'Вода', '243,6', 2, '2', 0, 0),"
                 " (-2, 1, 'Метанол', '1e3', x'00ff', 1, NULL, 0),"
                 " (3000000000, 1, 'Метанол', 5, 5, 3000000000, 0, 0);",
                 nullptr, nullptr, nullptr);
    if (sqlite3_close(db) != SQLITE_OK)
        std::abort();
    return ReadAll(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const struct RemovedAtExit {
        std::string path = FilePath();
        ~RemovedAtExit() { std::remove(path.c_str()); }
    } file;
    const std::string& path = file.path;
    static const std::string base = BaseImage(path);
    static const std::u16string uri(path.begin(), path.end()); // ASCII
    std::string image = base;
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        const std::size_t offset = (std::size_t{data[i]} << 8 | data[i + 1]) % image.size();
        image[offset] = static_cast<char>(data[i + 2]);
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
    }
    DataBase::GetConnection().SetUri(uri.c_str());
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        sepmet::AssayCollection assays;
        for (std::int32_t id : {1, -2, static_cast<std::int32_t>(3000000000u), 0, 7})
            sepmet::LoadAssay(assays, handle, id);
        sepmet::ReloadAssays(assays, handle);
    } catch (const DataBase::SqlException&) {
        // a database the mutation broke: reported, as for any unusable database
    }
    return 0;
}
