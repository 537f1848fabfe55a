#include "sound/byte_text.h"

#include <cstring>

namespace {

// The byte offset where the first `chars` characters of well-formed UTF-8
// end: a character starts at every byte that is not a continuation byte.
size_t utf8_prefix(const char *bytes, size_t n, size_t chars) {
    size_t seen = 0;
    for (size_t i = 0; i < n; i++) {
        if ((bytes[i] & 0xC0) != 0x80 && seen++ == chars) return i;
    }
    return n;
}

}  // namespace

bool text_from_bytes(const char *bytes, size_t count, LPWSTR out, size_t room) {
    if (room == 0) return false;
    const char *zero = static_cast<const char *>(memchr(bytes, 0, count));
    size_t n = zero ? size_t(zero - bytes) : count;
    out[0] = L'\0';
    if (n == 0) return true;
    if (plat::is_utf8(bytes, n)) {
        size_t cut = utf8_prefix(bytes, n, room - 1);
        int chars = MultiByteToWideChar(CP_UTF8, 0, bytes, int(cut), out, int(room - 1));
        out[chars > 0 ? chars : 0] = L'\0';
        return cut == n;
    }
    size_t take = n < room - 1 ? n : room - 1;
    for (size_t i = 0; i < take; i++) out[i] = WCHAR((unsigned char)bytes[i]);
    out[take] = L'\0';
    return take == n;
}
