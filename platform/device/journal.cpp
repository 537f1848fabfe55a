#include "platform/device/journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/core/text.h"

void journal_write(const char *kind, LPCWSTR text) {
    char path[DEVICE_HOST_PATH];
    if (!device_file("journal.log", path, sizeof path)) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[64];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    std::string line = std::string(stamp) + kind + ": ";
    for (char c : plat::to_utf8(text)) {
        if (c == '\n') line += "\\n";
        else if (c != '\r') line += c;
    }
    line += '\n';
    // One write with O_APPEND keeps lines of several processes apart.
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}
