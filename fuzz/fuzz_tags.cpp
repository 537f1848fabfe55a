// Tag reading on any bytes taken as an .mp3 or .ogg file (FUZZ_TAG_KIND
// says which), then each field's text as the song information takes it.
#include <cstdlib>
#include <cwchar>

#include "platform/audio/tags.h"
#include "sound/tag_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<audio::TagField> fields = audio::read_tags_memory(data, size, FUZZ_TAG_KIND);
    if (fields.size() > audio::TAG_COUNT_LIMIT) abort();
    for (const audio::TagField &f : fields) {
        if (size_t(f.length) > audio::TAG_FIELD_LIMIT || f.value.size() != size_t(f.length) + 4) abort();
        WCHAR text[SONG_TEXT_CHARS + 1] = L"";
        take_tag_value(text, f.type, f.value.data(), f.length);
        if (wcslen(text) > SONG_TEXT_CHARS) abort();
    }
    return 0;
}
