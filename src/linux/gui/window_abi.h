// The window module's one entry point, in plain C values: the program flattens its two report
// documents into these arrays and the module rebuilds them, so no C++ object crosses the seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/report/report.h"

extern "C" {

// Bytes that need not end in NUL; data is null for an absent value.
struct NadrelText {
    const char* data;
    size_t size;
};

struct NadrelRow {
    uint8_t kind;  // RowKind
    NadrelText text;
    NadrelText value;
};

struct NadrelSection {
    uint8_t kind;  // SectionKind
    NadrelText title;
    const NadrelRow* rows;
    size_t row_count;
};

struct NadrelDocument {
    const NadrelSection* sections;
    size_t section_count;
};

struct NadrelWindowArgs {
    uint32_t abi;  // nadrel::window_abi of the program; the module refuses any other
    NadrelDocument summary;
    NadrelDocument detailed;
    NadrelText stamp;
    NadrelText root_dir;   // the folder the machine is read beneath, "/" for this one
    NadrelText home;       // HOME, where the save action writes
    NadrelText gdk_scale;  // GDK_SCALE, for the X11 window
    uint8_t wayland_display;
    uint8_t sanitize;         // the live card and the save status hide identifying values
    NadrelText cursor_theme;  // XCURSOR_THEME and XCURSOR_SIZE, for the pointer image on
    NadrelText cursor_size;   // Wayland compositors that leave it to the window
};

// Shows the window until it is closed (0), or writes the reason it could not (NUL-terminated,
// cut to error_size) and returns 1.
typedef int (*NadrelRunWindow)(const NadrelWindowArgs* args, char* error, size_t error_size);
}

namespace nadrel {

inline constexpr std::uint32_t window_abi = 2;
inline constexpr const char* window_entry_name = "nadrel_run_window";
inline constexpr const char* window_module_name = "nadrel-window.so";

// The arrays a NadrelDocument points into; they point into the Report, which must outlive them.
struct FlatDocument {
    std::vector<NadrelSection> sections;
    std::vector<NadrelRow> rows;
    NadrelDocument document() const { return {sections.data(), sections.size()}; }
};

// Texts across the seam: a view of the bytes, and nothing (null data) for an absent value.
NadrelText abi_text(std::string_view s);
NadrelText abi_optional_text(const std::optional<std::string>& s);
std::optional<std::string> abi_string(NadrelText t);

FlatDocument flatten(const Report& report);
// The document again; unknown kinds become raw rows and Other sections.
Report unflatten(const NadrelDocument& document);

}  // namespace nadrel
