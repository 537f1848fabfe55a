// Fonts: the phone's faces ("Tahoma", "Nina", the system font) are shown in
// DejaVu Sans, found through fontconfig and rendered anti-aliased by
// FreeType. A face is opened once per file and pixel size; its glyphs are
// rendered once and kept.
#include <fontconfig/fontconfig.h>
#include <fcntl.h>
#include <ft2build.h>
#include <sys/stat.h>
#include <unistd.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <unordered_map>

#include "platform/gdi/gdi_internal.h"
#include "platform/core/text.h"

namespace plat {

struct FontFace {
    FT_Face face = nullptr;
    FontMetrics metrics = {0, 0, 0};
    std::unordered_map<wchar_t, Glyph> glyphs;
};

namespace {

constexpr int DEFAULT_PIXELS = 12;
const char *FALLBACK_REGULAR = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char *FALLBACK_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct FontService {
    FT_Library library = nullptr;
    bool tried = false;
    std::map<std::string, std::unique_ptr<FontFace>> faces;  // by "file#index@height"
    std::map<std::string, std::pair<std::string, int>> files;  // by "family#style": file and index
    std::thread prefetch;  // learning the system family while the program starts
    ~FontService() {
        if (prefetch.joinable()) prefetch.join();
    }
};

FontService &service() {
    static FontService s;
    return s;
}

// The phone's own faces and the unnamed system font are DejaVu Sans here.
std::string family_for(const WCHAR *face_name) {
    std::wstring folded = fold_case(face_name);
    if (folded.empty() || folded == L"tahoma" || folded == L"nina" || folded == L"system") return "DejaVu Sans";
    return to_utf8(face_name);
}

std::pair<std::string, int> fallback_file(bool bold) { return {bold ? FALLBACK_BOLD : FALLBACK_REGULAR, 0}; }

std::string style_key(const std::string &family, bool bold, bool italic) {
    return family + (bold ? "#b" : "#r") + (italic ? "i" : "");
}

// fontconfig's file for one family and style, the fallback when it has none.
std::pair<std::string, int> match_file(const std::string &family, bool bold, bool italic) {
    std::pair<std::string, int> found = fallback_file(bold);
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcChar8 *path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        found.first = reinterpret_cast<const char *>(path);
        FcPatternGetInteger(match, FC_INDEX, 0, &found.second);
    }
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found;
}

// The files of a family's four styles at once: fontconfig's configuration
// (some hundred kB parsed from /etc/fonts) is then let go, as only another
// family would need it again.
void learn_family(const std::string &family) {
    auto &known = service().files;
    bool ready = FcInit();
    for (bool bold : {false, true})
        for (bool italic : {false, true})
            known[style_key(family, bold, italic)] = ready ? match_file(family, bold, italic) : fallback_file(bold);
    if (ready) FcFini();
}

void find_file(const LOGFONTW &lf, std::string *file, int *index) {
    bool bold = lf.lfWeight >= FW_SEMIBOLD, italic = lf.lfItalic != 0;
    std::string family = family_for(lf.lfFaceName), key = style_key(family, bold, italic);
    if (service().prefetch.joinable()) service().prefetch.join();
    auto &known = service().files;
    if (known.find(key) == known.end()) learn_family(family);
    *file = known[key].first;
    *index = known[key].second;
}

// The font file read as FreeType needs it rather than mapped whole: a face
// holds only the tables and glyphs it used.
unsigned long read_font(FT_Stream stream, unsigned long offset, unsigned char *buffer, unsigned long count) {
    if (count == 0) return offset > stream->size ? 1 : 0;  // a seek: 0 is success
    ssize_t n = pread(int(stream->descriptor.value), buffer, count, off_t(offset));
    return n < 0 ? 0 : (unsigned long)n;
}

void close_font(FT_Stream stream) {
    close(int(stream->descriptor.value));
    delete stream;
}

bool open_font_file(FT_Library library, const std::string &file, int index, FT_Face *face) {
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        if (fd >= 0) close(fd);
        return false;
    }
    FT_Stream stream = new FT_StreamRec();
    stream->size = (unsigned long)st.st_size;
    stream->descriptor.value = fd;
    stream->read = read_font;
    stream->close = close_font;
    FT_Open_Args args = {};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    // On failure FreeType has closed the stream already.
    return FT_Open_Face(library, &args, index, face) == 0;
}

// Pixels per em for the phone's height: negative is the character height,
// positive the whole cell (ascent and descent).
int em_pixels(FT_Face face, LONG height) {
    if (height < 0) return int(-height);
    if (height == 0) return DEFAULT_PIXELS;
    int cell_units = face->ascender - face->descender;
    if (cell_units <= 0) return int(height);
    return std::max(1, int(std::lround(double(height) * face->units_per_EM / cell_units)));
}

FontFace *open_face(const std::string &file, int index, LONG height) {
    FontService &s = service();
    std::string key = file + "#" + std::to_string(index) + "@" + std::to_string(height);
    auto it = s.faces.find(key);
    if (it != s.faces.end()) return it->second.get();
    if (!s.library && (s.tried || FT_Init_FreeType(&s.library) != 0)) {
        s.tried = true;
        return nullptr;
    }
    FT_Face face;
    if (!open_font_file(s.library, file, index, &face)) return nullptr;
    int em = em_pixels(face, height);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(em));
    auto f = std::make_unique<FontFace>();
    f->face = face;
    // Rounded, not ceiled as FreeType's own size metrics are, so that a cell
    // height asked for is the height given.
    double units = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    f->metrics.ascent = int(std::lround(em * face->ascender / units));
    f->metrics.descent = int(std::lround(em * -face->descender / units));
    f->metrics.height = f->metrics.ascent + f->metrics.descent;
    FontFace *raw = f.get();
    s.faces[key] = std::move(f);
    return raw;
}

}  // namespace

void font_system_logfont(LOGFONTW *out) {
    memset(out, 0, sizeof *out);
    out->lfHeight = -DEFAULT_PIXELS;
    out->lfWeight = FW_NORMAL;
    copy_wide(out->lfFaceName, LF_FACESIZE, L"Tahoma");
}

FontFace *font_face_for(const LOGFONTW &lf) {
    std::string file;
    int index;
    find_file(lf, &file, &index);
    FontFace *face = open_face(file, index, lf.lfHeight);
    if (!face && file != FALLBACK_REGULAR) face = open_face(FALLBACK_REGULAR, 0, lf.lfHeight);
    return face;
}

const Glyph *font_glyph(FontFace *f, wchar_t ch) {
    if (!f) return nullptr;
    auto it = f->glyphs.find(ch);
    if (it != f->glyphs.end()) return &it->second;
    Glyph &g = f->glyphs[ch];
    if (FT_Load_Char(f->face, FT_ULong(ch), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return &g;
    FT_GlyphSlot slot = f->face->glyph;
    const FT_Bitmap &bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = int((slot->advance.x + 32) >> 6);
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return &g;
    g.width = int(bm.width);
    g.height = int(bm.rows);
    g.coverage.reset(new unsigned char[size_t(g.width) * g.height]);
    for (int y = 0; y < g.height; y++) memcpy(&g.coverage[size_t(y) * g.width], bm.buffer + y * bm.pitch, size_t(g.width));
    return &g;
}

FontMetrics font_metrics(FontFace *f) {
    if (!f) return {DEFAULT_PIXELS, 3, DEFAULT_PIXELS + 3};
    return f->metrics;
}

void font_prefetch(void) {
    FontService &s = service();
    if (s.prefetch.joinable() || !s.files.empty()) return;
    s.prefetch = std::thread([] { learn_family(family_for(L"")); });
}

}  // namespace plat

HFONT CreateFontIndirectW(const LOGFONTW *lf) {
    if (!lf) return nullptr;
    auto font = std::make_unique<plat::Font>();
    font->logfont = *lf;
    font->logfont.lfFaceName[LF_FACESIZE - 1] = L'\0';
    font->face = plat::font_face_for(font->logfont);
    if (!font->face) return nullptr;
    return plat::gdi_add_font(std::move(font));
}
