#include "png_writer.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr size_t STORED_BLOCK = 65535;  // the most a stored deflate block holds

uint32_t crc32(const std::vector<unsigned char> &bytes, size_t from) {
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); i++) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::vector<unsigned char> &bytes) {
    uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put32(std::vector<unsigned char> &out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((unsigned char)(v >> shift));
}

void chunk(std::vector<unsigned char> &file, const char *type, const std::vector<unsigned char> &data) {
    put32(file, uint32_t(data.size()));
    size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    put32(file, crc32(file, start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<unsigned char> zlib_stored(const std::vector<unsigned char> &raw) {
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min(STORED_BLOCK, raw.size() - at);
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back((unsigned char)(n & 0xFF));
        z.push_back((unsigned char)(n >> 8));
        z.push_back((unsigned char)(~n & 0xFF));
        z.push_back((unsigned char)((~n >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
        at += n;
    } while (at < raw.size());
    put32(z, adler32(raw));
    return z;
}

}  // namespace

bool write_png(const std::string &path, int width, int height, const std::vector<unsigned char> &rgba) {
    std::vector<unsigned char> raw;  // each row led by filter type 0 (none)
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + long(y) * width * 4, rgba.begin() + long(y + 1) * width * 4);
    }
    std::vector<unsigned char> header, file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put32(header, uint32_t(width));
    put32(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter choice, no interlace
    chunk(file, "IHDR", header);
    chunk(file, "IDAT", zlib_stored(raw));
    chunk(file, "IEND", {});
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
