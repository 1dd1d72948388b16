#include "batch/database_check.h"

#include "data/assay_queries.h"
#include "data/connection.h"
#include "platform/utf.h"

#include <filesystem>
#include <system_error>

namespace sepmet::batch {

bool CheckDatabase(const std::string& path, std::string& error) {
    // SQLite would create a missing file; the host's database is only ever read.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        error = "no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return false;
    }
    // An absolute path keeps a name that begins with "file:" from being taken as a URI.
    const std::string location = std::filesystem::absolute(path, ec).string();
    DataBase::GetConnection().SetUri(FromUtf8(ec ? path : location).c_str());
    try {
        DataBase::DataBaseHandle handle;
        handle.Open();
        CheckAssayStatements(handle);
    } catch (const DataBase::SqlException& e) {
        error = e.what();
        return false;
    }
    return true;
}

} // namespace sepmet::batch
