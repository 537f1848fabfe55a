// Conversions between the wide text of memory and the encodings that leave a
// process: UTF-8 (host paths, the multibyte code page) and UTF-16LE (registry,
// sockets). Invalid input never overruns a buffer. A byte that is not UTF-8
// becomes U+DC80 + (byte - 0x80) and turns back into that byte, so that host
// names in other encodings survive the way through wide text; other code
// points no encoding can hold become U+FFFD.
#pragma once

#include <string>

#include "platform/core/types.h"

// The phone's conversions; the multibyte code page is UTF-8.
int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int bytes, LPWSTR out, int out_chars);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR text, int chars, LPSTR out, int out_bytes,
                        LPCSTR default_char, LPBOOL used_default);

namespace plat {

std::string to_utf8(const wchar_t *text, size_t chars);
std::string to_utf8(const wchar_t *text);
std::wstring from_utf8(const char *text, size_t bytes);
std::wstring from_utf8(const char *text);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool is_utf8(const char *text, size_t bytes);
// UTF-16LE without a terminator appended; `chars` wide characters are taken.
std::string to_utf16le(const wchar_t *text, size_t chars);
std::wstring from_utf16le(const unsigned char *bytes, size_t size);

// Bounded copy into a wide buffer; always terminates; false when cut.
bool copy_wide(wchar_t *out, size_t cap, const wchar_t *text);
bool copy_wide(wchar_t *out, size_t cap, const std::wstring &text);
bool copy_utf8(char *out, size_t cap, const std::string &text);

// Lower-case folding used wherever the phone compares names without case.
std::wstring fold_case(const wchar_t *text);

}  // namespace plat
