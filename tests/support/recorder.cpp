// Stands in for a program the notification service starts. First thing, it
// notes the host clock; then it appends "<ns> <pid> <argc> <argument>" to
// $VELMORA_RECORD, else to "IPSM/record.log" in its device.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

int main(int argc, char **argv) {
    timespec started;
    clock_gettime(CLOCK_REALTIME, &started);
    const char *record = getenv("VELMORA_RECORD");
    const char *device = getenv("VELMORA_DEVICE");
    std::string path = record ? record : std::string(device ? device : ".") + "/IPSM/record.log";
    char line[2048];
    int n = snprintf(line, sizeof line, "%lld %d %d %s\n",
                     (long long)started.tv_sec * 1000000000LL + started.tv_nsec, (int)getpid(), argc - 1,
                     argc > 1 ? argv[1] : "");
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 || n <= 0) return 1;
    bool ok = write(fd, line, size_t(n)) == n;
    close(fd);
    return ok ? 0 : 1;
}
