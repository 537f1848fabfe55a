// The TagLib side of tag reading, built as a library of its own (Veltags)
// that the program loads the first time it reads a file's tags: a clock that
// shows no song information never maps TagLib.
#include <unistd.h>

#include <taglib/id3v1tag.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include "platform/audio/fsound.h"
#include "platform/audio/tags.h"

namespace audio {
namespace {

// Any read TagLib asks for is cut to the limit: a tag that claims hundreds
// of megabytes then reads as a short, broken tag instead of a huge buffer.
template <class Stream>
class CappedStream : public Stream {
public:
    using Stream::Stream;
    TagLib::ByteVector readBlock(unsigned long length) override {
        return Stream::readBlock(length > TAG_READ_LIMIT ? TAG_READ_LIMIT : length);
    }
};

class QuietDebug : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String &) override {}
};

void silence_taglib() {
    static QuietDebug quiet;
    static bool done = false;
    if (!done) {
        TagLib::setDebugListener(&quiet);
        done = true;
    }
}

void add_field(std::vector<TagField> &out, int type, const std::string &name, const char *data, size_t size) {
    if (out.size() >= TAG_COUNT_LIMIT || size > TAG_FIELD_LIMIT) return;
    TagField f;
    f.type = type;
    f.name = name;
    f.value.assign(data, data + size);
    f.value.insert(f.value.end(), 4, '\0');
    f.length = int(size);
    out.push_back(std::move(f));
}

void add_text(std::vector<TagField> &out, int type, const std::string &name, const TagLib::String &text) {
    std::string utf8 = text.to8Bit(true);
    add_field(out, type, name, utf8.data(), utf8.size());
}

void read_id3v2(std::vector<TagField> &out, TagLib::ID3v2::Tag *tag) {
    for (TagLib::ID3v2::Frame *frame : tag->frameList()) {
        // The frame as stored: a 10-byte header, then its data.
        TagLib::ByteVector whole = frame->render();
        if (whole.size() < 10) continue;
        std::string id(frame->frameID().data(), frame->frameID().size());
        add_field(out, FSOUND_TAGFIELD_ID3V2, id, whole.data() + 10, whole.size() - 10);
    }
}

// Fields of fixed size: an empty one is no field at all.
void read_id3v1(std::vector<TagField> &out, TagLib::ID3v1::Tag *tag) {
    const struct {
        const char *name;
        TagLib::String text;
    } fields[] = {{"TITLE", tag->title()},
                  {"ARTIST", tag->artist()},
                  {"ALBUM", tag->album()},
                  {"COMMENT", tag->comment()},
                  {"GENRE", tag->genre()}};
    for (const auto &f : fields)
        if (!f.text.isEmpty()) add_text(out, FSOUND_TAGFIELD_ID3V1, f.name, f.text);
}

void read_xiph(std::vector<TagField> &out, TagLib::Ogg::XiphComment *tag) {
    if (!tag) return;
    for (const auto &entry : tag->fieldListMap()) {
        std::string name = entry.first.to8Bit(true);
        for (const auto &value : entry.second) add_text(out, FSOUND_TAGFIELD_VORBISCOMMENT, name, value);
    }
}

void read_info(std::vector<TagField> &out, TagLib::RIFF::Info::Tag *tag) {
    if (!tag) return;
    for (const auto &entry : tag->fieldListMap()) {
        std::string id(entry.first.data(), entry.first.size());
        // The three that name a song are reported as the Vorbis names are.
        std::string name = id == "INAM" ? "TITLE" : id == "IART" ? "ARTIST" : id == "IPRD" ? "ALBUM" : id;
        add_text(out, FSOUND_TAGFIELD_RIFF, name, entry.second);
    }
}

std::vector<TagField> read_stream(TagLib::IOStream *stream, TagFileKind kind) {
    silence_taglib();
    std::vector<TagField> out;
    if (kind == TAG_FILE_MPEG) {
        TagLib::MPEG::File f(stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!f.isValid()) return out;
        // The old 30-character ID3v1 fields only stand in for a missing
        // ID3v2 tag; after it they would cut its longer texts.
        if (f.hasID3v2Tag())
            read_id3v2(out, f.ID3v2Tag());
        else if (f.hasID3v1Tag())
            read_id3v1(out, f.ID3v1Tag());
    } else if (kind == TAG_FILE_OGG) {
        TagLib::Ogg::Vorbis::File vorbis(stream, false);
        if (vorbis.isValid()) {
            read_xiph(out, vorbis.tag());
            return out;
        }
        stream->seek(0);
        TagLib::Ogg::Opus::File opus(stream, false);
        if (opus.isValid()) read_xiph(out, opus.tag());
    } else if (kind == TAG_FILE_WAV) {
        TagLib::RIFF::WAV::File f(stream, false);
        if (!f.isValid()) return out;
        if (f.hasID3v2Tag()) read_id3v2(out, f.ID3v2Tag());
        if (f.hasInfoTag()) read_info(out, f.InfoTag());
    }
    return out;
}

}  // namespace
}  // namespace audio

// The library's two entries, found by name (tags.cpp).
extern "C" __attribute__((visibility("default"))) void velmora_tags_from_file(int fd, int kind,
                                                                              std::vector<audio::TagField> *out) {
    audio::CappedStream<TagLib::FileStream> stream(fd, true);  // owns the descriptor from here
    if (stream.isOpen()) *out = audio::read_stream(&stream, audio::TagFileKind(kind));
}

extern "C" __attribute__((visibility("default"))) void velmora_tags_from_memory(const unsigned char *data, size_t size,
                                                                                int kind,
                                                                                std::vector<audio::TagField> *out) {
    audio::CappedStream<TagLib::ByteVectorStream> stream(
        TagLib::ByteVector(reinterpret_cast<const char *>(data), (unsigned int)size));
    *out = audio::read_stream(&stream, audio::TagFileKind(kind));
}
