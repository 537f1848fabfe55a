#include "sound/tag_value.h"

#include "sound/byte_text.h"

namespace {

constexpr int ID3V2_LATIN = 0;
constexpr int ID3V2_UTF16 = 1;

// UTF-16 after its byte-order mark (little-endian without one), to the
// first zero unit or the end of the field.
void text_from_utf16(const unsigned char *bytes, size_t size, WCHAR *out) {
    bool big = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    size_t i = (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || big)) ? 2 : 0;
    size_t n = 0;
    for (; i + 1 < size && n < SONG_TEXT_CHARS; i += 2) {
        unsigned unit = big ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i] | bytes[i + 1] << 8);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < size) {
            unsigned low = big ? (bytes[i + 2] << 8 | bytes[i + 3]) : (bytes[i + 2] | bytes[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        out[n++] = WCHAR(unit);
    }
    out[n] = L'\0';
}

}  // namespace

bool take_tag_value(WCHAR *text, int type, const char *value, int length) {
    size_t size = length > 0 ? size_t(length) : 0;
    if (type != FSOUND_TAGFIELD_ID3V2) {
        text_from_bytes(value, size, text, SONG_TEXT_CHARS + 1);
        return true;
    }
    if (size == 0) return false;
    if (value[0] == ID3V2_LATIN) {
        text_from_bytes(value + 1, size - 1, text, SONG_TEXT_CHARS + 1);
        return true;
    }
    if (value[0] == ID3V2_UTF16) {
        text_from_utf16(reinterpret_cast<const unsigned char *>(value + 1), size - 1, text);
        return true;
    }
    return false;
}

