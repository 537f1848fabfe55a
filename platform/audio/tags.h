// The tags of a sound file, read with TagLib into the fields the library
// reports: ID3v2 frames with their raw data (text-encoding byte first),
// ID3v1 fields, Vorbis comments and RIFF INFO fields as 8-bit (UTF-8) text.
// Reading is bounded: no single read is larger than TAG_READ_LIMIT, however
// large a size field in the file claims to be.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace audio {

constexpr size_t TAG_READ_LIMIT = 4u << 20;
constexpr size_t TAG_FIELD_LIMIT = 1u << 20;  // larger values (pictures) are left out
constexpr size_t TAG_COUNT_LIMIT = 1024;

struct TagField {
    int type;                 // FSOUND_TAGFIELD_*
    std::string name;         // "TIT2", "TITLE", ...
    std::vector<char> value;  // `length` bytes and four zero bytes after them
    int length;
};

enum TagFileKind { TAG_FILE_UNKNOWN, TAG_FILE_MPEG, TAG_FILE_OGG, TAG_FILE_WAV };

// The kind from the file's first bytes, else from its name's extension.
TagFileKind tag_file_kind(const unsigned char *head, size_t size, const char *name);

std::vector<TagField> read_tags_file(const char *host_path);
std::vector<TagField> read_tags_memory(const unsigned char *data, size_t size, TagFileKind kind);

}  // namespace audio
