// The package archive, read and written with libarchive: a tar file, gzip
// compressed, whose member "manifest" says where the others go. Reading
// trusts nothing the archive says about sizes: every member is counted as it
// is written out and refused past the limits.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "tools/velpkg/velpkg.h"
#include "tools/velpkg/velpkg_testing.h"

namespace {

constexpr size_t BLOCK = 64 << 10;
// Room left free on the device besides what the package needs, for the
// registry and the journal.
constexpr long long RESERVE_BYTES = 1 << 20;

long long write_budget = -1;  // test seam: bytes staging may write; -1 no limit

bool room_for(const std::string &folder, long long bytes) {
    struct statvfs fs;
    if (statvfs(folder.c_str(), &fs) != 0) return true;  // the writes will tell
    return (long long)fs.f_bavail * (long long)fs.f_frsize >= bytes + RESERVE_BYTES;
}

bool write_all(int fd, const char *data, size_t size) {
    while (size > 0) {
        if (write_budget >= 0 && (long long)size > write_budget) {
            errno = ENOSPC;
            return false;
        }
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (write_budget >= 0) write_budget -= n;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool damaged(struct archive *a) {
    set_problem("the package is damaged: %s", archive_error_string(a) ? archive_error_string(a) : "unreadable");
    return false;
}

bool write_failed(const std::string &member) {
    if (errno == ENOSPC || errno == EDQUOT)
        set_problem("the device is full: there is no room for %s", member.c_str());
    else
        set_problem("cannot write %s into the device: %s", member.c_str(), strerror(errno));
    return false;
}

// Copies the member's data to `host`, refusing more or fewer bytes than its
// header declared.
bool stage_member(struct archive *a, const std::string &member, long long size, bool executable,
                  const std::string &host) {
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, executable ? 0755 : 0644);
    if (fd < 0) return write_failed(member);
    std::vector<char> block(BLOCK);
    long long written = 0;
    bool ok = true;
    for (;;) {
        la_ssize_t n = archive_read_data(a, block.data(), block.size());
        if (n == 0) break;
        if (n < 0) {
            ok = damaged(a);
            break;
        }
        written += n;
        if (written > size) {
            ok = damaged(a);
            break;
        }
        if (!write_all(fd, block.data(), size_t(n))) {
            ok = write_failed(member);
            break;
        }
    }
    if (ok && written != size) ok = (set_problem("the package is damaged: %s is cut short", member.c_str()), false);
    // On the disk before the rename that makes it the installed file.
    if (ok && fsync(fd) != 0) ok = write_failed(member);
    if (close(fd) != 0 && ok) ok = write_failed(member);
    return ok;
}

bool read_manifest(struct archive *a, long long size, std::string &text) {
    if (size > (long long)MAX_MANIFEST_BYTES)
        return set_problem("the manifest is larger than %zu bytes", MAX_MANIFEST_BYTES), false;
    text.resize(size_t(size));
    la_ssize_t n = size ? archive_read_data(a, text.data(), text.size()) : 0;
    if (n < 0) return damaged(a);
    if (n != size) return set_problem("the package is damaged: the manifest is cut short"), false;
    return true;
}

// One member: checked against the limits, then into the staging folder.
bool take_member(struct archive *a, struct archive_entry *e, const std::string &folder, StagedPackage &out,
                 long long &total, bool &has_manifest) {
    const char *name = archive_entry_pathname(e);
    if (!name || !*name) return set_problem("the package is damaged: a member has no name"), false;
    std::string member = name;
    if (archive_entry_filetype(e) != AE_IFREG) return set_problem("member %s is not a plain file", name), false;
    if (!archive_entry_size_is_set(e)) return set_problem("member %s has no size", name), false;
    long long size = archive_entry_size(e);
    if (size < 0 || size > MAX_MEMBER_BYTES)
        return set_problem("member %s is %lld MB; a package member may hold at most %lld MB", name, size >> 20,
                           MAX_MEMBER_BYTES >> 20),
               false;
    total += size;
    if (total > MAX_PACKAGE_BYTES)
        return set_problem("the package holds more than %lld MB", MAX_PACKAGE_BYTES >> 20), false;
    if (member == MANIFEST_MEMBER) {
        if (has_manifest) return set_problem("the package has two manifests"), false;
        has_manifest = true;
        return read_manifest(a, size, out.manifest_text);
    }
    if (!member_name_ok(member)) return set_problem("member %s is not a plain relative name", name), false;
    if (out.members.size() >= MAX_MEMBERS)
        return set_problem("the package has more than %zu members", MAX_MEMBERS), false;
    if (!staged_file(out, member).empty()) return set_problem("member %s is in the package twice", name), false;
    if (!room_for(folder, size))
        return set_problem("the device is full: %s needs %lld KB more than is free", name, (size >> 10) + 1), false;
    std::string host = folder + "/m" + std::to_string(out.members.size());
    out.members.push_back(member);
    out.files.push_back(host);
    return stage_member(a, member, size, (archive_entry_perm(e) & 0111) != 0, host);
}

}  // namespace

void velpkg_limit_writes(long long bytes) { write_budget = bytes; }

std::string staged_file(const StagedPackage &p, const std::string &member) {
    for (size_t i = 0; i < p.members.size(); i++)
        if (p.members[i] == member) return p.files[i];
    return "";
}

bool read_package(const char *path, const std::string &folder, StagedPackage &out) {
    out = StagedPackage();
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return set_problem("cannot read %s: %s", path, strerror(errno)), false;
    struct archive *a = archive_read_new();
    archive_read_support_format_tar(a);
    archive_read_support_filter_gzip(a);
    if (archive_read_open_fd(a, fd, BLOCK) != ARCHIVE_OK) {
        damaged(a);
        archive_read_free(a);
        close(fd);
        return false;
    }
    long long total = 0;
    bool has_manifest = false, ok = true;
    for (;;) {
        struct archive_entry *e;
        int r = archive_read_next_header(a, &e);
        if (r == ARCHIVE_EOF) break;
        if (r != ARCHIVE_OK) {
            ok = damaged(a);
            break;
        }
        if (!take_member(a, e, folder, out, total, has_manifest)) {
            ok = false;
            break;
        }
    }
    archive_read_free(a);
    close(fd);
    if (ok && !has_manifest) ok = (set_problem("%s is not a package: it has no manifest", path), false);
    return ok;
}

namespace {

struct archive_entry *file_entry(const std::string &name, long long size, bool executable) {
    struct archive_entry *e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, executable ? 0755 : 0644);
    archive_entry_set_size(e, size);
    archive_entry_set_mtime(e, 0, 0);  // the same inputs make the same package
    return e;
}

bool add_file(struct archive *a, const std::string &name, const std::string &host) {
    struct stat st;
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        set_problem("cannot read %s: %s", host.c_str(), fd < 0 ? strerror(errno) : "not a plain file");
        if (fd >= 0) close(fd);
        return false;
    }
    struct archive_entry *e = file_entry(name, st.st_size, (st.st_mode & 0111) != 0);
    bool ok = archive_write_header(a, e) == ARCHIVE_OK;
    archive_entry_free(e);
    std::vector<char> block(BLOCK);
    for (ssize_t n; ok && (n = read(fd, block.data(), block.size())) > 0;)
        ok = archive_write_data(a, block.data(), size_t(n)) == n;
    close(fd);
    if (!ok) set_problem("cannot add %s: %s", host.c_str(), archive_error_string(a) ? archive_error_string(a) : "");
    return ok;
}

}  // namespace

bool write_package(const char *path, const std::string &manifest,
                   const std::vector<std::pair<std::string, std::string>> &members) {
    std::string temporary = std::string(path) + ".part";
    struct archive *a = archive_write_new();
    archive_write_set_format_pax_restricted(a);
    archive_write_add_filter_gzip(a);
    bool ok = archive_write_open_filename(a, temporary.c_str()) == ARCHIVE_OK;
    if (!ok) set_problem("cannot write %s: %s", path, archive_error_string(a) ? archive_error_string(a) : "");
    if (ok) {
        struct archive_entry *e = file_entry(MANIFEST_MEMBER, (long long)manifest.size(), false);
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, manifest.data(), manifest.size()) == (la_ssize_t)manifest.size();
        archive_entry_free(e);
        if (!ok) set_problem("cannot write %s: %s", path, archive_error_string(a));
    }
    for (const auto &m : members)
        if (ok) ok = add_file(a, m.first, m.second);
    if (archive_write_close(a) != ARCHIVE_OK && ok) {
        set_problem("cannot write %s: %s", path, archive_error_string(a));
        ok = false;
    }
    archive_write_free(a);
    if (ok && rename(temporary.c_str(), path) != 0) {
        set_problem("cannot write %s: %s", path, strerror(errno));
        ok = false;
    }
    if (!ok) unlink(temporary.c_str());
    return ok;
}
