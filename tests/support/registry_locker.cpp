// Holds a device's registry locked, as another program might: "write" holds a
// write transaction (readers still read), "exclusive" holds the whole file so
// that nobody can even read it. Makes the file MARKER once it holds the lock
// and waits until it is ended.
//   registry_locker DEVICE write|exclusive MARKER
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv) {
    if (argc != 4 || (strcmp(argv[2], "write") != 0 && strcmp(argv[2], "exclusive") != 0)) {
        fprintf(stderr, "usage: registry_locker DEVICE write|exclusive MARKER\n");
        return 2;
    }
    std::string path = std::string(argv[1]) + "/registry.db";
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 3;
    sqlite3_busy_timeout(db, 10000);
    bool exclusive = strcmp(argv[2], "exclusive") == 0;
    std::string sql = exclusive ? "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;" : "BEGIN IMMEDIATE;";
    // A write makes the lock real in either mode.
    sql += "CREATE TABLE IF NOT EXISTS locker(x); INSERT INTO locker VALUES(1);";
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        fprintf(stderr, "registry_locker: %s\n", error ? error : "failed");
        return 4;
    }
    FILE *marker = fopen(argv[3], "w");
    if (!marker) return 5;
    fclose(marker);
    for (;;) pause();
}
