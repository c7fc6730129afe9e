// Text with the system's TrueType fonts (placeholder until the FreeType rasteriser lands).
#include "linux/gui/text.h"

namespace nadrel {

class Font {};

const std::vector<std::string> mono_font_paths = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
    "/usr/share/fonts/TTF/DejaVuSansMono.ttf",
    "/usr/share/fonts/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/liberation/LiberationMono-Regular.ttf",
};
const std::vector<std::string> bold_font_paths = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/TTF/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans-Bold.ttf",
};
const std::vector<std::string> regular_font_paths = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};

std::shared_ptr<Font> load_font(std::span<const std::string>) {
    return nullptr;
}
std::optional<FontSet> load_font_set() {
    return std::nullopt;
}
std::int32_t ascent_px(const Font&, float) {
    return 0;
}
std::int32_t line_height_px(const Font&, float) {
    return 0;
}
std::int32_t text_width(const Font&, std::string_view, float) {
    return 0;
}
float draw_text(Canvas&, const Font&, Colour, std::int32_t x, std::int32_t, std::string_view,
                float) {
    return static_cast<float>(x);
}
std::int32_t draw_centred(Canvas&, const Font&, Colour, std::int32_t, std::int32_t,
                          std::string_view, float) {
    return 0;
}
std::vector<std::string> wrap_words(const Font&, std::string_view, std::int32_t, float) {
    return {};
}
std::string truncate_to_width(const Font&, std::string_view s, std::int32_t, float) {
    return std::string(s);
}
std::size_t cached_glyph_count(const Font&) {
    return 0;
}

}  // namespace nadrel
