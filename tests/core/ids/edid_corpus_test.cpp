// Real monitors' EDIDs decoded by us and by Debian's edid-decode, field by field. Where our
// rules deliberately differ from edid-decode's output, the expectation is mapped here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/ids/edid.h"
#include "core/text/fmt.h"
#include "support/golden.h"
#include "support/run.h"

namespace nadrel {
namespace {

namespace fs = std::filesystem;

const fs::path corpus = fs::path(NADREL_CORPUS_DIR) / "edid";

// What edid-decode prints for the base block (block 0) of one file.
struct Oracle {
    std::vector<std::string> names;  // every "Display Product Name", in order
    std::string manufacturer;
    unsigned model = 0;
    unsigned week = 0, year = 0;
    bool model_year = false;
    unsigned cm_w = 0, cm_h = 0;
    bool has_dtd = false;
    unsigned dtd_w = 0, dtd_h = 0, dtd_mm_w = 0, dtd_mm_h = 0;
    bool has_range = false;
    unsigned max_v = 0;
    unsigned bits = 0;
    std::string serial_text;    // the first "Display Product Serial Number"
    std::string serial_number;  // the ID serial, printed only when not 0
};

std::string run_edid_decode(const fs::path& file) {
    const std::string command = "edid-decode '" + file.string() + "' 2>/dev/null";
    return test::capture_output(command);
}

std::string trim_ascii(std::string s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

unsigned number(const std::ssub_match& m) {
    return static_cast<unsigned>(std::stoul(m.str()));
}

Oracle parse(const std::string& text) {
    Oracle o;
    static const std::regex name(R"(Display Product Name: '(.*)')");
    static const std::regex manufacturer(R"(^\s+Manufacturer: (\S+))");
    static const std::regex model(R"(^\s+Model: (\d+))");
    static const std::regex made_week(R"(Made in: week (\d+) of (\d+))");
    static const std::regex made_year(R"(Made in: (\d+)$)");
    static const std::regex model_year(R"(Model year: (\d+))");
    static const std::regex size(R"(Maximum image size: (\d+) cm x (\d+) cm)");
    static const std::regex dtd(R"(DTD\s+1:\s+(\d+)x(\d+)i?\s)");
    static const std::regex dtd_mm(R"((\d+) mm x (\d+) mm\)$)");
    static const std::regex range(R"(Monitor ranges \(.*\): (\d+)-(\d+) Hz V)");
    static const std::regex bits(R"(Bits per primary color channel: (\d+))");
    static const std::regex serial_text(R"(Display Product Serial Number: '(.*)')");
    static const std::regex serial_number(R"(^\s+Serial Number: (\d+))");
    std::istringstream in(text);
    std::string line;
    std::smatch m;
    bool in_block0 = false;
    while (std::getline(in, line)) {
        if (line.starts_with("Block 0"))
            in_block0 = true;
        if (line.starts_with("Block 1") || line.starts_with("Checksum")) {
            if (in_block0)
                break;
        }
        if (!in_block0)
            continue;
        if (std::regex_search(line, m, name)) {
            o.names.push_back(m[1]);
        } else if (std::regex_search(line, m, manufacturer)) {
            o.manufacturer = m[1];
        } else if (std::regex_search(line, m, model)) {
            o.model = number(m[1]);
        } else if (std::regex_search(line, m, made_week)) {
            o.week = number(m[1]);
            o.year = number(m[2]);
        } else if (std::regex_search(line, m, made_year)) {
            o.year = number(m[1]);
        } else if (std::regex_search(line, m, model_year)) {
            o.model_year = true;
            o.year = number(m[1]);
        } else if (std::regex_search(line, m, size)) {
            o.cm_w = number(m[1]);
            o.cm_h = number(m[2]);
        } else if (std::regex_search(line, m, dtd)) {
            o.has_dtd = true;
            o.dtd_w = number(m[1]);
            o.dtd_h = number(m[2]);  // edid-decode gives the frame height of "i" modes
            if (std::regex_search(line, m, dtd_mm)) {
                o.dtd_mm_w = number(m[1]);
                o.dtd_mm_h = number(m[2]);
            }
        } else if (!o.has_range && std::regex_search(line, m, range)) {
            o.has_range = true;
            o.max_v = number(m[2]);  // with the +255 offset already applied
        } else if (std::regex_search(line, m, bits)) {
            o.bits = number(m[1]);
        } else if (o.serial_text.empty() && std::regex_search(line, m, serial_text)) {
            o.serial_text = trim_ascii(m[1]);
        } else if (std::regex_search(line, m, serial_number)) {
            o.serial_number = m[1];
        }
    }
    return o;
}

// Names where our rule gives something other than edid-decode's first non-empty name.
const std::map<std::string, std::string> name_differences = {
    // Four NULs before 'LCDTV': edid-decode stops at the first NUL and prints ''; we drop
    // control characters, so the name survives.
    {"IND2232-A7B4137B6953.bin", "LCDTV"},
    // The first name descriptor holds binary bytes (02 b7 46 5a 01 03 0c 11 50 a0 0f 13 21):
    // edid-decode prints ''; we drop the control characters and keep the printable Latin-1
    // ones, and that first non-empty text is the name.
    {"HSD1512-C316AD22B6F2.bin", "\u00B7FZP\u00A0!"},
};

TEST(EdidCorpus, AgreesWithEdidDecode) {
    if (test::run_shell("command -v edid-decode >/dev/null") != 0) {
        GTEST_SKIP() << "edid-decode is not installed; tools/install-deps installs it";
    }
    ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(corpus)) {
        if (e.path().extension() == ".bin")
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    EXPECT_GE(files.size(), 57u);
    for (const fs::path& file : files) {
        const std::string id = file.filename().string();
        SCOPED_TRACE(id);
        const std::string raw = test::read_file(file);
        const std::vector<std::uint8_t> bytes(raw.begin(), raw.end());
        const Oracle o = parse(run_edid_decode(file));
        ASSERT_FALSE(o.manufacturer.empty()) << "edid-decode gave no manufacturer";
        const auto got = decode_edid(bytes);

        std::string name;
        for (const auto& n : o.names) {
            if (!trim_ascii(n).empty()) {
                name = trim_ascii(n);
                break;
            }
        }
        if (const auto it = name_differences.find(id); it != name_differences.end()) {
            name = it->second;
        }
        const bool letters = std::all_of(o.manufacturer.begin(), o.manufacturer.end(),
                                         [](char c) { return c >= 'A' && c <= 'Z'; });
        if (name.empty() && !letters) {
            EXPECT_FALSE(got.has_value());
            continue;
        }
        if (name.empty())
            name = o.manufacturer + strfmt(" %04X", o.model);
        ASSERT_TRUE(got.has_value());
        const DisplayInfo& d = *got;
        EXPECT_EQ(d.name, name);

        // Model years (week 0xFF) and year byte 0 (edid-decode prints 1990) are unknown dates.
        const bool dated = !o.model_year && o.year != 1990;
        EXPECT_EQ(d.year, dated ? o.year : 0u);
        EXPECT_EQ(d.week, dated && o.week <= 54 ? o.week : 0u);

        // edid-decode's "DTD 1" is the first detailed timing anywhere; ours is only the
        // preferred-timing slot at offset 54.
        const bool slot_is_timing = bytes[54] != 0 || bytes[55] != 0;
        ASSERT_EQ(slot_is_timing, o.has_dtd && slot_is_timing);
        EXPECT_EQ(d.width_px, slot_is_timing ? o.dtd_w : 0u);
        EXPECT_EQ(d.height_px, slot_is_timing ? o.dtd_h : 0u);
        const bool timing_size = slot_is_timing && o.dtd_mm_w != 0 && o.dtd_mm_h != 0;
        const double w_mm = timing_size ? o.dtd_mm_w : o.cm_w * 10.0;
        const double h_mm = timing_size ? o.dtd_mm_h : o.cm_h * 10.0;
        EXPECT_EQ(d.width_mm, w_mm);
        EXPECT_EQ(d.height_mm, h_mm);
        // The diagonal in whole inches, rounded, of the size shown (the two sizes of an EDID
        // often disagree; a diagonal from the other would contradict the size beside it).
        const double inches = std::hypot(w_mm, h_mm) / 25.4;
        EXPECT_EQ(d.diagonal_in, w_mm != 0 && h_mm != 0 ? std::lround(inches) : 0) << inches;

        EXPECT_EQ(d.max_refresh_hz, o.has_range ? o.max_v : 0u);
        EXPECT_EQ(d.bits_per_color, o.bits);
        // The descriptor's text wins over the ID serial; texts with escapes are left out.
        if (o.serial_text.find('\\') == std::string::npos) {
            EXPECT_EQ(d.serial, o.serial_text.empty() ? o.serial_number : o.serial_text) << id;
        }
    }
}

}  // namespace
}  // namespace nadrel
