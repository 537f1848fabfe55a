// Which kind of file a sound is, and its tags, read by the Veltags library
// (tags_taglib.cpp) that is loaded the first time they are wanted. It is
// found beside the running program, else where this build put it.
#include "platform/audio/tags.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/core/library_call.h"
#include "platform/device/process.h"

namespace audio {
namespace {

constexpr const char *TAGS_LIBRARY = "Veltags.dll";

struct TagsLibrary {
    void (*from_file)(int fd, int kind, std::vector<TagField> *out);
    void (*from_memory)(const unsigned char *data, size_t size, int kind, std::vector<TagField> *out);
};

void *open_library(void) {
    std::string beside = plat::beside_own_program(TAGS_LIBRARY);
    // dlopen takes an empty name for the program itself.
    if (!beside.empty())
        if (void *l = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return l;
#ifdef VELMORA_BUILT_TAGS
    return dlopen(VELMORA_BUILT_TAGS, RTLD_NOW | RTLD_LOCAL);
#else
    return nullptr;
#endif
}

bool load(TagsLibrary &t) {
    void *l = open_library();
    if (!l) return false;
    bool ok = plat::library_call(l, "velmora_tags_from_file", &t.from_file) &&
              plat::library_call(l, "velmora_tags_from_memory", &t.from_memory);
    if (!ok) dlclose(l);
    return ok;
}

const TagsLibrary *tags_library(void) {
    return plat::calls_loaded_once(load, "velmora: no tag library (Veltags.dll); songs show no tags\n");
}

bool ends_with(const char *name, const char *ext) {
    size_t n = strlen(name), e = strlen(ext);
    return n > e && strcasecmp(name + n - e, ext) == 0;
}

}  // namespace

TagFileKind tag_file_kind(const unsigned char *head, size_t size, const char *name) {
    if (size >= 3 && memcmp(head, "ID3", 3) == 0) return TAG_FILE_MPEG;
    if (size >= 4 && memcmp(head, "OggS", 4) == 0) return TAG_FILE_OGG;
    if (size >= 12 && memcmp(head, "RIFF", 4) == 0 && memcmp(head + 8, "WAVE", 4) == 0) return TAG_FILE_WAV;
    if (size >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0) return TAG_FILE_MPEG;
    if (name && ends_with(name, ".mp3")) return TAG_FILE_MPEG;
    if (name && ends_with(name, ".ogg")) return TAG_FILE_OGG;
    if (name && ends_with(name, ".wav")) return TAG_FILE_WAV;
    return TAG_FILE_UNKNOWN;
}

std::vector<TagField> read_tags_file(const char *host_path) {
    const TagsLibrary *tags = tags_library();
    if (!tags) return {};
    int fd = open(host_path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    struct stat st;
    unsigned char head[12];
    ssize_t got = 0;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (got = pread(fd, head, sizeof head, 0)) <= 0) {
        close(fd);
        return {};
    }
    TagFileKind kind = tag_file_kind(head, size_t(got), host_path);
    if (kind == TAG_FILE_UNKNOWN) {
        close(fd);
        return {};
    }
    std::vector<TagField> out;
    tags->from_file(fd, kind, &out);  // owns the descriptor from here
    return out;
}

std::vector<TagField> read_tags_memory(const unsigned char *data, size_t size, TagFileKind kind) {
    const TagsLibrary *tags = tags_library();
    std::vector<TagField> out;
    if (tags) tags->from_memory(data, size, kind, &out);
    return out;
}

}  // namespace audio
