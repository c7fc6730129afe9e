// The real tables of the corpus, decoded by us and by Debian's dmidecode (an independent
// implementation): structures, raw bytes and strings, memory modules and arrays, slots, ports,
// processor sockets and the BIOS ROM size must agree. dmidecode's words differ from ours in
// places ("In Use", "Keyboard Port", "PCI Express 3"); the maps below translate them here, in the
// test, so the product keeps its own vocabulary.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "core/smbios/decode.h"
#include "core/smbios/smbios.h"
#include "core/smbios/snapshot.h"
#include "core/smbios/tables.h"
#include "core/text/fields.h"
#include "core/text/names.h"
#include "core/text/unicode.h"
#include "support/golden.h"
#include "support/run.h"

namespace nadrel {
namespace {

namespace fs = std::filesystem;

const std::string corpus = std::string(NADREL_CORPUS_DIR) + "/smbios";

struct Block {
    int type = -1;
    std::size_t length = 0;
    std::vector<std::pair<std::string, std::string>> fields;  // one-tab "Key: Value" lines
    // Two-tab lines, in order, each with the key of the one-tab line above it.
    std::vector<std::pair<std::string, std::string>> nested;

    std::optional<std::string> field(std::string_view key) const {
        for (const auto& [k, v] : fields) {
            if (k == key)
                return v;
        }
        return std::nullopt;
    }
};

// Splits dmidecode's output into its "Handle 0x..., DMI type T, L bytes" blocks.
std::vector<Block> parse_blocks(const std::string& text) {
    std::vector<Block> blocks;
    for_each_line(text, [&blocks](std::string_view view) {
        const std::string line(view);
        unsigned handle = 0;
        int type = 0;
        std::size_t length = 0;
        if (std::sscanf(line.c_str(), "Handle 0x%x, DMI type %d, %zu bytes", &handle, &type,
                        &length) == 3) {
            blocks.push_back(Block{type, length, {}, {}});
        } else if (!blocks.empty() && starts_with(line, "\t\t")) {
            const Block& b = blocks.back();
            blocks.back().nested.emplace_back(b.fields.empty() ? "" : b.fields.back().first,
                                              line.substr(2));
        } else if (!blocks.empty() && starts_with(line, "\t")) {
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos)
                return;
            std::string value = colon + 1 < line.size() ? line.substr(colon + 2) : "";
            blocks.back().fields.emplace_back(line.substr(1, colon - 1), value);
        }
    });
    return blocks;
}

std::vector<const Block*> of_type(const std::vector<Block>& blocks, int type) {
    std::vector<const Block*> out;
    for (const Block& b : blocks) {
        if (b.type == type)
            out.push_back(&b);
    }
    return out;
}

std::vector<const DmiStructure*> of_type(const std::vector<DmiStructure>& list, int type) {
    std::vector<const DmiStructure*> out;
    for (const DmiStructure& s : list) {
        if (s.type == type)
            out.push_back(&s);
    }
    return out;
}

// "41 42 00" -> bytes; nothing when the line is not all two-digit hex numbers.
std::optional<std::vector<std::uint8_t>> hex_bytes(std::string_view line) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < line.size(); i += 3) {
        std::uint8_t byte = 0;
        const char* first = line.data() + i;
        if (i + 2 > line.size() || (i + 2 < line.size() && line[i + 2] != ' '))
            return std::nullopt;
        const auto r = std::from_chars(first, first + 2, byte, 16);
        if (r.ptr != first + 2)
            return std::nullopt;
        out.push_back(byte);
    }
    return out;
}

// "16 GB", "512 kB", "Unknown", "No Module Installed" -> bytes (0 when not a size).
std::uint64_t size_bytes(const std::string& text) {
    static const std::map<std::string, int> shift = {{"bytes", 0}, {"kB", 10}, {"MB", 20},
                                                     {"GB", 30},   {"TB", 40}, {"PB", 50}};
    unsigned long long value = 0;
    char unit[16] = {};
    if (std::sscanf(text.c_str(), "%llu %15s", &value, unit) != 2)
        return 0;
    const auto it = shift.find(unit);
    return it == shift.end() ? 0 : value << it->second;
}

// "2933 MT/s" -> 2933; "Unknown" -> 0.
std::uint32_t speed(const std::optional<std::string>& text) {
    unsigned value = 0;
    return text && std::sscanf(text->c_str(), "%u", &value) == 1 ? value : 0;
}

// dmidecode prints "Not Specified" for string number 0 and the raw string otherwise.
std::string expected_string(const Block& b, std::string_view key, const DmiStructure& s,
                            std::size_t offset) {
    if (smbios_byte(s, offset) == 0)
        return "";
    // dmidecode keeps the firmware's padding; we fold runs of white space to one space.
    return collapse_spaces(trim(b.field(key).value_or("")));
}

struct Machine {
    std::string name;
    std::vector<DmiStructure> ours;
    std::vector<Block> decoded;  // dmidecode --from-dump NAME.dump
    std::vector<Block> raw;      // dmidecode -u --from-dump NAME.dump
};

std::vector<Machine> machines() {
    std::vector<Machine> out;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() == ".DMI")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        Machine m;
        m.name = file.stem().string();
        const std::string bytes = test::read_file(file.string());
        m.ours = parse_smbios_table(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        const std::string dump = corpus + "/" + m.name + ".dump";
        m.decoded =
            parse_blocks(test::capture_output("dmidecode --from-dump '" + dump + "' 2>/dev/null"));
        m.raw = parse_blocks(
            test::capture_output("dmidecode -u --from-dump '" + dump + "' 2>/dev/null"));
        out.push_back(std::move(m));
    }
    return out;
}

class SmbiosOracle : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (test::run_shell("command -v dmidecode >/dev/null 2>&1") != 0)
            return;
        list_ = new std::vector<Machine>(machines());
    }
    static void TearDownTestSuite() {
        delete list_;
        list_ = nullptr;
    }
    void SetUp() override {
        if (list_ == nullptr)
            GTEST_SKIP() << "dmidecode is not installed (tools/install-deps)";
        ASSERT_GE(list_->size(), 18u) << "corpus tables missing under " << corpus;
    }
    static const std::vector<Machine>& list() { return *list_; }

private:
    static inline std::vector<Machine>* list_ = nullptr;
};

// dmidecode walks the same way: it too keeps the cut-off last structure of beelink-eq12 and
// stops at the zero length of hyperv-vm-malformed, and it lists inactive (126) structures.
TEST_F(SmbiosOracle, StructuresBytesAndStrings) {
    for (const Machine& m : list()) {
        SCOPED_TRACE(m.name);
        ASSERT_EQ(m.ours.size(), m.raw.size());
        for (std::size_t i = 0; i < m.ours.size(); ++i) {
            const DmiStructure& s = m.ours[i];
            const Block& b = m.raw[i];
            ASSERT_EQ(s.type, b.type) << "structure " << i;
            ASSERT_EQ(s.formatted.size(), b.length) << "structure " << i;
            // "Header and Data:" lines, then "Strings:" with each string's hex (ending in 00)
            // followed by its text line.
            std::vector<std::uint8_t> data;
            std::vector<std::string> strings;
            std::string current;
            bool text_next = false;
            for (const auto& [section, line] : b.nested) {
                if (section == "Header and Data") {
                    const auto bytes = hex_bytes(line);
                    ASSERT_TRUE(bytes.has_value()) << line;
                    data.insert(data.end(), bytes->begin(), bytes->end());
                    continue;
                }
                if (section != "Strings")
                    continue;
                if (text_next) {  // the string's text, after its hex
                    text_next = false;
                    continue;
                }
                const auto bytes = hex_bytes(line);
                ASSERT_TRUE(bytes.has_value()) << "structure " << i << ": " << line;
                for (std::uint8_t byte : *bytes) {
                    if (byte == 0) {
                        strings.push_back(utf8_lossy(current));
                        current.clear();
                        text_next = true;
                    } else {
                        current.push_back(static_cast<char>(byte));
                    }
                }
            }
            // dmidecode shortens the type 34 of the Supermicro X9 boards from 16 to 11 bytes
            // ("Invalid entry length (16). Fixed up to 11."), so its strings start 5 bytes
            // earlier than ours. We keep the walk as the header says: the formatted area swallows
            // "LM78-" and the string reads "2". Compare the bytes dmidecode prints.
            ASSERT_LE(data.size(), s.formatted.size());
            if (data.size() < s.formatted.size()) {
                EXPECT_EQ(s.type, 34);
                continue;
            }
            EXPECT_TRUE(std::equal(data.begin(), data.end(), s.formatted.begin()))
                << "structure " << i;
            EXPECT_EQ(s.strings, strings) << "structure " << i;
        }
    }
}

TEST_F(SmbiosOracle, MemoryModules) {
    std::size_t modules = 0;
    for (const Machine& m : list()) {
        SCOPED_TRACE(m.name);
        const auto ours = of_type(m.ours, 17);
        const auto theirs = of_type(m.decoded, 17);
        ASSERT_EQ(ours.size(), theirs.size());
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const DmiStructure& s = *ours[i];
            const Block& b = *theirs[i];
            const auto module = decode_memory_device(s);
            const std::uint64_t size = size_bytes(b.field("Size").value_or(""));
            SCOPED_TRACE("device " + std::to_string(i) + " " + b.field("Size").value_or(""));
            ASSERT_EQ(module.has_value(), size != 0);
            if (!module)
                continue;
            ++modules;
            EXPECT_EQ(module->size, size);
            std::string type = b.field("Type").value_or("Other");
            // Codes without a name of ours (DRAM, SDRAM, ...) read as "Other".
            static const std::set<std::string> named = {"Unknown",
                                                        "DDR",
                                                        "DDR2",
                                                        "DDR2 FB-DIMM",
                                                        "DDR3",
                                                        "FBD2",
                                                        "DDR4",
                                                        "LPDDR",
                                                        "LPDDR2",
                                                        "LPDDR3",
                                                        "LPDDR4",
                                                        "HBM",
                                                        "HBM2",
                                                        "DDR5",
                                                        "LPDDR5",
                                                        "HBM3",
                                                        "Logical non-volatile device"};
            if (!named.count(type))
                type = "Other";
            EXPECT_EQ(module->memory_type, type);
            EXPECT_EQ(module->speed_mts, speed(b.field("Speed")));
            EXPECT_EQ(module->configured_speed_mts, speed(b.field("Configured Memory Speed")));
            EXPECT_EQ(module->locator, expected_string(b, "Locator", s, 0x10));
            EXPECT_EQ(module->part_number, expected_string(b, "Part Number", s, 0x1A));
            EXPECT_EQ(module->manufacturer, expected_string(b, "Manufacturer", s, 0x17));
            // Serials and asset tags drop placeholders ("00000000", "Not Specified").
            for (const auto& [got, key, offset] :
                 {std::tuple{&module->serial, "Serial Number", std::size_t{0x18}},
                  std::tuple{&module->asset_tag, "Asset Tag", std::size_t{0x19}}}) {
                const std::string want = expected_string(b, key, s, offset);
                EXPECT_EQ(*got, is_placeholder(want) ? "" : want) << key;
            }
            const std::string bank = expected_string(b, "Bank Locator", s, 0x11);
            EXPECT_EQ(module->bank_locator, is_placeholder(bank) ? "" : bank);
        }
    }
    EXPECT_GE(modules, 90u);
}

TEST_F(SmbiosOracle, MemoryArrays) {
    for (const Machine& m : list()) {
        SCOPED_TRACE(m.name);
        const auto ours = of_type(m.ours, 16);
        const auto theirs = of_type(m.decoded, 16);
        ASSERT_EQ(ours.size(), theirs.size());
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const Block& b = *theirs[i];
            EXPECT_EQ(memory_array_capacity(*ours[i]),
                      size_bytes(b.field("Maximum Capacity").value_or("")));
            EXPECT_EQ(memory_array_devices(*ours[i]),
                      std::stoul(b.field("Number Of Devices").value_or("0")));
            std::string ecc = b.field("Error Correction Type").value_or("");
            if (ecc == "Other" || ecc == "Unknown")
                ecc.clear();
            EXPECT_EQ(memory_array_ecc(*ours[i]), ecc);
        }
        EXPECT_EQ(smbios_memory_ecc(m.ours), ours.empty() ? "" : memory_array_ecc(*ours[0]));
    }
}

TEST_F(SmbiosOracle, Slots) {
    // dmidecode's type names, where ours differ.
    static const std::map<std::string, std::string> names = {
        {"PCI Express 2", "PCI Express Gen2"},
        {"PCI Express 3", "PCI Express Gen3"},
        {"PCI Express 4", "PCI Express Gen4"},
        {"PCI Express 5", "PCI Express Gen5"},
        {"M.2 Socket 1-DP", "M.2 Socket 1-DP (Key A)"},
        {"M.2 Socket 1-SD", "M.2 Socket 1-SD (Key E)"},
        {"M.2 Socket 2", "M.2 Socket 2 (Key B)"},
        {"M.2 Socket 3", "M.2 Socket 3 (Key M)"},
        {"AGP 2x", "AGP 2X"},
        {"AGP 4x", "AGP 4X"},
        {"AGP 8x", "AGP 8X"}};
    std::size_t slots = 0;
    for (const Machine& m : list()) {
        SCOPED_TRACE(m.name);
        const auto ours = smbios_slots(m.ours);
        const auto raw = of_type(m.ours, 9);
        const auto theirs = of_type(m.decoded, 9);
        ASSERT_EQ(ours.size(), theirs.size());
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const Block& b = *theirs[i];
            slots++;
            EXPECT_EQ(ours[i].designation, expected_string(b, "Designation", *raw[i], 0x04));
            // "x8 PCI Express 3 x16": dmidecode puts the bus width in front of the type.
            std::string type = b.field("Type").value_or("");
            std::string width;
            const std::size_t space = type.find(' ');
            if (space != std::string::npos &&
                (type[0] == 'x' || type.substr(0, space).ends_with("-bit"))) {
                if (type[0] == 'x')
                    width = type.substr(0, space);
                type = type.substr(space + 1);
            }
            for (const auto& [theirs_prefix, ours_prefix] : names) {
                if (type == theirs_prefix || starts_with(type, theirs_prefix + " ")) {
                    type = ours_prefix + type.substr(theirs_prefix.size());
                }
            }
            if (ours[i].slot_type.starts_with("Slot type 0x")) {
                EXPECT_NE(type, "") << "a type dmidecode names but we do not: " << type;
            } else {
                EXPECT_EQ(ours[i].slot_type, type);
            }
            if (contains(ours[i].slot_type, width))
                width.clear();
            EXPECT_EQ(ours[i].width, width);
            std::string usage = b.field("Current Usage").value_or("Unknown");
            if (usage == "In Use")
                usage = "In use";
            if (usage == "Other")
                usage = "Unknown";
            EXPECT_EQ(ours[i].usage, usage);
        }
    }
    EXPECT_GT(slots, 60u);
}

TEST_F(SmbiosOracle, Ports) {
    static const std::map<std::string, std::string> names = {
        {"Parallel Port XT/AT Compatible", "Parallel"},
        {"Parallel Port PS/2", "Parallel"},
        {"Parallel Port ECP", "Parallel"},
        {"Parallel Port EPP", "Parallel"},
        {"Parallel Port ECP/EPP", "Parallel"},
        {"Serial Port XT/AT Compatible", "Serial"},
        {"Serial Port 16450 Compatible", "Serial"},
        {"Serial Port 16550 Compatible", "Serial"},
        {"Serial Port 16550A Compatible", "Serial"},
        {"SCSI Port", "SCSI"},
        {"Keyboard Port", "Keyboard"},
        {"Mouse Port", "Mouse"},
        {"SSA SCSI", "SSA SCSI"},
        {"USB", "USB"},
        {"Firewire (IEEE P1394)", "FireWire"},
        {"SCSI Wide", "SCSI Wide"},
        {"Video Port", "Video"},
        {"Audio Port", "Audio"},
        {"Network Port", "Network"},
        {"SATA", "SATA"},
        {"SAS", "SAS"},
        {"MFDP (Multi-Function Display Port)", "MFDP"},
        {"Thunderbolt", "Thunderbolt"},
        {"Other", "Other"}};
    std::size_t kept = 0;
    for (const Machine& m : list()) {
        SCOPED_TRACE(m.name);
        const auto raw = of_type(m.ours, 8);
        const auto theirs = of_type(m.decoded, 8);
        ASSERT_EQ(raw.size(), theirs.size());
        std::vector<PortConnector> expected;
        std::uint64_t usb = 0;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const Block& b = *theirs[i];
            const auto type = b.field("Port Type");
            if (!type)
                continue;  // shorter than 9 bytes: dmidecode prints no fields either
            if (*type == "USB")
                ++usb;
            const auto name = names.find(*type);
            if (name == names.end())
                continue;
            std::string designator =
                expected_string(b, "External Reference Designator", *raw[i], 0x06);
            if (designator.empty()) {
                designator = expected_string(b, "Internal Reference Designator", *raw[i], 0x04);
            }
            if (name->second == "Other" && is_placeholder(designator))
                continue;
            expected.push_back({designator, name->second});
        }
        const auto ours = smbios_ports(m.ours);
        ASSERT_EQ(ours.size(), expected.size());
        for (std::size_t i = 0; i < ours.size(); ++i) {
            EXPECT_EQ(ours[i].designator, expected[i].designator) << i;
            EXPECT_EQ(ours[i].port_type, expected[i].port_type) << i;
        }
        EXPECT_EQ(smbios_usb_ports(m.ours), usb);
        kept += ours.size();
    }
    EXPECT_GT(kept, 100u);
}

TEST_F(SmbiosOracle, SocketsAndRomSize) {
    for (const Machine& m : list()) {
        SCOPED_TRACE(m.name);
        const auto theirs = of_type(m.decoded, 4);
        SystemSnapshot s;
        collect_smbios_sockets(s, m.ours);
        EXPECT_EQ(s.cpu_sockets, theirs.size());
        std::uint64_t populated = 0;
        std::string socket;
        for (const Block* b : theirs) {
            const bool in = starts_with(b->field("Status").value_or(""), "Populated");
            const std::string name = b->field("Socket Designation").value_or("");
            if (in && populated++ == 0)
                socket = name;
        }
        if (populated == 0 && !theirs.empty()) {
            socket = theirs[0]->field("Socket Designation").value_or("");
        }
        EXPECT_EQ(s.cpu_sockets_populated, populated);
        // Designations that only name the socket say nothing of its kind.
        socket = std::string(trim(socket));
        for (const char* label : {"Not Specified", "None", "CPUSocket", "SOCKET 0"}) {
            if (socket == label)
                socket.clear();
        }
        EXPECT_EQ(s.cpu_socket, socket);

        const auto bios = of_type(m.decoded, 0);
        ASSERT_FALSE(bios.empty());
        // ROM size FFh in a structure too short for the extended field (before SMBIOS 3.1):
        // 16 MB, as dmidecode reads it.
        const DmiStructure& first = *of_type(m.ours, 0)[0];
        const std::uint64_t rom = size_bytes(bios[0]->field("ROM Size").value_or(""));
        if (smbios_byte(first, 0x09) == 0xFF && first.formatted.size() < 0x1A) {
            EXPECT_EQ(rom, 16u << 20);
        }
        EXPECT_EQ(smbios_rom_size(m.ours), rom);
    }
}

}  // namespace
}  // namespace nadrel
