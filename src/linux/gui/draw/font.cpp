// TrueType faces through FreeType: unhinted outlines at fractional pixel sizes, advances in
// 16.16 fixed point, and a glyph cache that is never evicted.
#include "linux/gui/draw/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <bit>
#include <cmath>
#include <cstdlib>

namespace nadrel {

namespace {

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryOwner = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FaceOwner = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

// Larger sizes are refused (nothing of ours comes near: the largest is 30 px x scale 8).
constexpr float max_px = 4096;

constexpr FT_Int32 load_flags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

std::uint64_t cache_key(char32_t c, float px) {
    return (std::uint64_t{c} << 32) | std::bit_cast<std::uint32_t>(px);
}

std::vector<std::uint8_t> copy_bitmap(const FT_Bitmap& bitmap) {
    const std::size_t w = bitmap.width;
    const std::size_t h = bitmap.rows;
    std::vector<std::uint8_t> out(w * h);
    const std::size_t pitch = static_cast<std::size_t>(std::abs(bitmap.pitch));
    for (std::size_t row = 0; row < h; ++row) {
        // A negative pitch means the rows are stored bottom-up.
        const std::size_t src_row = bitmap.pitch < 0 ? h - 1 - row : row;
        const unsigned char* src = bitmap.buffer + src_row * pitch;
        for (std::size_t col = 0; col < w; ++col) {
            std::uint8_t a = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                a = (src[col / 8] & (0x80 >> (col % 8))) != 0 ? 255 : 0;
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                const unsigned levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1u : 255u;
                a = static_cast<std::uint8_t>(src[col] * 255u / levels);
            }
            out[row * w + col] = a;
        }
    }
    return out;
}

}  // namespace

struct Font::Handles {
    std::vector<std::uint8_t> bytes;  // FreeType reads the face from this memory
    LibraryOwner library;
    FaceOwner face;
};

Font::Font(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
Font::~Font() = default;

std::shared_ptr<Font> Font::open(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    auto handles = std::make_unique<Handles>();
    handles->bytes = std::move(bytes);
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return nullptr;
    }
    handles->library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, handles->bytes.data(),
                           static_cast<FT_Long>(handles->bytes.size()), 0, &face) != 0) {
        return nullptr;
    }
    handles->face.reset(face);
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        return nullptr;
    }
    std::shared_ptr<Font> font(new Font(std::move(handles)));
    font->units_per_em_ = face->units_per_EM;
    if (const auto* hhea =
            static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
        font->line_metrics_ =
            LineMetrics{double(hhea->Ascender), double(hhea->Descender), double(hhea->Line_Gap)};
    }
    return font;
}

bool Font::set_size(float px) const {
    if (!(px > 0) || px > max_px) {
        return false;
    }
    if (px != current_px_) {
        const auto size = static_cast<FT_F26Dot6>(std::lround(double{px} * 64.0));
        if (FT_Set_Char_Size(handles_->face.get(), 0, std::max<FT_F26Dot6>(1, size), 72, 72) != 0) {
            current_px_ = -1;
            return false;
        }
        current_px_ = px;
    }
    return true;
}

const Glyph& Font::glyph(char32_t c, float px) const {
    const std::uint64_t key = cache_key(c, px);
    if (auto it = cache_.find(key); it != cache_.end()) {
        return it->second;
    }
    Glyph glyph;
    if (set_size(px)) {
        FT_Face face = handles_->face.get();
        const FT_UInt index = FT_Get_Char_Index(face, c);  // 0 when the font lacks c
        if (FT_Load_Glyph(face, index, load_flags) == 0) {
            glyph.advance = static_cast<float>(double(face->glyph->linearHoriAdvance) / 65536.0);
            if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_GlyphSlot slot = face->glyph;
                glyph.width = static_cast<std::int32_t>(slot->bitmap.width);
                glyph.height = static_cast<std::int32_t>(slot->bitmap.rows);
                glyph.xmin = slot->bitmap_left;
                glyph.ymin = slot->bitmap_top - glyph.height;
                glyph.coverage = copy_bitmap(slot->bitmap);
            }
        }
    }
    return cache_.emplace(key, std::move(glyph)).first->second;
}

float Font::advance(char32_t c, float px) const {
    if (auto it = cache_.find(cache_key(c, px)); it != cache_.end()) {
        return it->second.advance;
    }
    if (!set_size(px)) {
        return 0;
    }
    FT_Face face = handles_->face.get();
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, c), load_flags) != 0) {
        return 0;
    }
    return static_cast<float>(double(face->glyph->linearHoriAdvance) / 65536.0);
}

}  // namespace nadrel
