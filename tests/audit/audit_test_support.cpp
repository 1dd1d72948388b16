#include "tests/audit/audit_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace sepmet::audit::testing {

void ExecuteSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text << "\n" << sql;
}

std::string QueryText(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0))
            result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

int RunUnprivileged(const std::function<int()>& body) {
#if defined(_WIN32)
    // Windows tests run as an ordinary user, whom read-only files and folders already stop.
    return body();
#else
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(body());
    }
    int status = -1;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

void OpenFolderToEveryone(const std::string& folder, bool writable) {
    ::chmod(folder.c_str(), writable ? 0777 : 0755);
}

std::string CopyForUnprivileged(const std::string& file, const std::string& folder,
                                std::string& why) {
    const std::filesystem::path copy =
        std::filesystem::path(folder) / std::filesystem::path(file).filename();
    std::error_code error;
    std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) {
        why = "cannot copy " + file + ": " + error.message();
        return {};
    }
    ::chmod(copy.string().c_str(), 0755);
    OpenFolderToEveryone(folder, false);
    const std::string path = copy.string();
    if (RunUnprivileged([&] { return ::access(path.c_str(), R_OK) == 0 ? 0 : 1; }) != 0) {
        why = "the unprivileged user cannot reach " + path +
              " (the temporary folder is closed to other users)";
        return {};
    }
    return path;
}

} // namespace sepmet::audit::testing
