#include "platform/core/text.h"

#include <cstring>
#include <cwctype>

namespace plat {
namespace {

const char32_t REPLACEMENT = 0xFFFD;
// A byte that is not UTF-8 (a host name in another encoding) becomes one of
// the code points U+DC80 ... U+DCFF, which no well-formed text holds, and
// turns back into that byte on the way out: such a name reaches its file.
const char32_t ESCAPED_BYTE = 0xDC00;

bool is_escaped_byte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

void put_utf8(std::string &out, char32_t c) {
    if (is_escaped_byte(c)) {
        out += char(c - ESCAPED_BYTE);
        return;
    }
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = REPLACEMENT;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one well-formed UTF-8 sequence at text[i] and advances i past it;
// a byte that starts none is escaped alone, and i moves past that byte only.
char32_t next_utf8(const unsigned char *text, size_t size, size_t &i, bool *bad = nullptr) {
    size_t at = i;
    unsigned char b = text[i++];
    if (b < 0x80) return b;
    auto escape = [&]() {
        i = at + 1;
        if (bad) *bad = true;
        return ESCAPED_BYTE + b;
    };
    int extra = (b >= 0xF0 && b <= 0xF4) ? 3 : (b >= 0xE0) ? 2 : (b >= 0xC2 && b < 0xE0) ? 1 : -1;
    if (extra < 0) return escape();
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; k++) {
        if (i >= size || (text[i] & 0xC0) != 0x80) return escape();
        c = (c << 6) | (text[i++] & 0x3F);
    }
    bool overlong = (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return escape();
    return c;
}

}  // namespace

std::string to_utf8(const wchar_t *text, size_t chars) {
    std::string out;
    out.reserve(chars);
    for (size_t i = 0; i < chars; i++) put_utf8(out, char32_t(text[i]));
    return out;
}

std::string to_utf8(const wchar_t *text) { return text ? to_utf8(text, wcslen(text)) : std::string(); }

std::wstring from_utf8(const char *text, size_t bytes) {
    std::wstring out;
    out.reserve(bytes);
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    for (size_t i = 0; i < bytes;) out += wchar_t(next_utf8(p, bytes, i));
    return out;
}

std::wstring from_utf8(const char *text) { return text ? from_utf8(text, strlen(text)) : std::wstring(); }

bool is_utf8(const char *text, size_t bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    bool bad = false;
    for (size_t i = 0; i < bytes && !bad;) next_utf8(p, bytes, i, &bad);
    return !bad;
}

std::string to_utf16le(const wchar_t *text, size_t chars) {
    std::string out;
    out.reserve(chars * 2);
    auto unit = [&out](unsigned u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    for (size_t i = 0; i < chars; i++) {
        char32_t c = char32_t(text[i]);
        // An escaped byte keeps its code unit, so that it comes back.
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF && !is_escaped_byte(c))) c = REPLACEMENT;
        if (c >= 0x10000) {
            c -= 0x10000;
            unit(0xD800 + (c >> 10));
            unit(0xDC00 + (c & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

std::wstring from_utf16le(const unsigned char *bytes, size_t size) {
    std::wstring out;
    size_t units = size / 2;
    out.reserve(units);
    for (size_t i = 0; i < units; i++) {
        char32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            char32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += wchar_t(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i++;
                continue;
            }
        }
        out += wchar_t((u >= 0xD800 && u <= 0xDFFF && !is_escaped_byte(u)) ? REPLACEMENT : u);
    }
    return out;
}

bool copy_wide(wchar_t *out, size_t cap, const wchar_t *text) {
    if (cap == 0) return false;
    size_t n = text ? wcslen(text) : 0;
    bool fits = n < cap;
    if (!fits) n = cap - 1;
    if (n) wmemcpy(out, text, n);
    out[n] = L'\0';
    return fits;
}

bool copy_wide(wchar_t *out, size_t cap, const std::wstring &text) { return copy_wide(out, cap, text.c_str()); }

bool copy_utf8(char *out, size_t cap, const std::string &text) {
    if (cap == 0) return false;
    size_t n = text.size();
    bool fits = n < cap;
    if (!fits) n = cap - 1;
    memcpy(out, text.data(), n);
    out[n] = '\0';
    return fits;
}

std::wstring fold_case(const wchar_t *text) {
    std::wstring out(text ? text : L"");
    for (auto &c : out) c = wchar_t(towlower(wint_t(c)));
    return out;
}

}  // namespace plat

// A length of -1 means "up to and including the terminator", as on the phone;
// an output size of 0 asks for the size needed. With MB_ERR_INVALID_CHARS
// bytes that are not UTF-8 fail the call instead of becoming U+FFFD.
int MultiByteToWideChar(UINT, DWORD flags, LPCSTR text, int bytes, LPWSTR out, int out_chars) {
    if (!text || out_chars < 0) return 0;
    size_t n = bytes < 0 ? strlen(text) + 1 : size_t(bytes);
    if ((flags & MB_ERR_INVALID_CHARS) && !plat::is_utf8(text, n)) return 0;
    std::wstring wide = plat::from_utf8(text, n);
    if (out_chars == 0) return int(wide.size());
    if (wide.size() > size_t(out_chars)) return 0;
    wmemcpy(out, wide.data(), wide.size());
    return int(wide.size());
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR text, int chars, LPSTR out, int out_bytes, LPCSTR, LPBOOL used_default) {
    if (used_default) *used_default = FALSE;
    if (!text || out_bytes < 0) return 0;
    size_t n = chars < 0 ? wcslen(text) + 1 : size_t(chars);
    std::string narrow = plat::to_utf8(text, n);
    if (out_bytes == 0) return int(narrow.size());
    if (narrow.size() > size_t(out_bytes)) return 0;
    memcpy(out, narrow.data(), narrow.size());
    return int(narrow.size());
}
