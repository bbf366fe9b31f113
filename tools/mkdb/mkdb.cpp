// parsetta-mkdb OUTPUT.db SOURCE.sql...
// Executes the SQL files in the order given into a new database. The result is written to a
// temporary file first and renamed at the end, so a failed build never leaves a half-filled
// template database behind.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

bool ExecuteFile(sqlite3* db, const std::string& path) {
    std::string sql;
    if (!ReadFile(path, sql)) {
        std::cerr << path << ": cannot read\n";
        return false;
    }
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::cerr << path << ": " << (error ? error : "unknown error") << "\n";
        sqlite3_free(error);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: parsetta-mkdb OUTPUT.db SOURCE.sql...\n";
        return 2;
    }
    const std::string output = argv[1];
    const std::string temporary = output + ".tmp";
    std::remove(temporary.c_str());

    sqlite3* db = nullptr;
    if (sqlite3_open(temporary.c_str(), &db) != SQLITE_OK) {
        std::cerr << temporary << ": " << sqlite3_errmsg(db) << "\n";
        sqlite3_close(db);
        return 1;
    }
    bool ok = true;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 2; i < argc && ok; ++i)
        ok = ExecuteFile(db, argv[i]);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok || std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::cerr << output << ": template database not built\n";
        return 1;
    }
    return 0;
}
