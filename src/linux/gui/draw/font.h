// One TrueType face through FreeType: line metrics, advances and the cached coverage bitmaps.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "linux/gui/draw/text.h"

namespace nadrel {

// One rasterised glyph at one pixel size: offsets of the bitmap from the pen on the baseline
// (xmin to the right, ymin upwards to the bitmap's bottom row) and 8-bit coverage.
struct Glyph {
    std::int32_t xmin = 0;
    std::int32_t ymin = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    float advance = 0;  // fractional pixels, unhinted
    std::vector<std::uint8_t> coverage;
};

// Horizontal line metrics in font units (the hhea table).
struct LineMetrics {
    double ascent = 0;
    double descent = 0;  // negative below the baseline
    double line_gap = 0;
};

class Font {
public:
    // The font in a file's bytes (face 0), or nothing when they do not parse as one.
    static std::shared_ptr<Font> open(std::vector<std::uint8_t> bytes);

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    double units_per_em() const { return units_per_em_; }
    const std::optional<LineMetrics>& line_metrics() const { return line_metrics_; }

    // The glyph of c at px from the cache, rasterised and inserted on first use.
    const Glyph& glyph(char32_t c, float px) const;
    // The advance of c at px, from the cache when present, else from the outline's metrics
    // (nothing is inserted).
    float advance(char32_t c, float px) const;
    std::size_t cache_size() const { return cache_.size(); }

private:
    struct Handles;
    explicit Font(std::unique_ptr<Handles> handles);
    // Selects px on the face; false when px is not a usable size.
    bool set_size(float px) const;

    std::unique_ptr<Handles> handles_;
    double units_per_em_ = 0;
    std::optional<LineMetrics> line_metrics_;
    mutable float current_px_ = -1;
    mutable std::unordered_map<std::uint64_t, Glyph> cache_;
};

}  // namespace nadrel
