// libFuzzer target: arbitrary bytes as an SMBIOS table through the walk, every decoder (whatever
// the structure's type), the snapshot steps and the dump text; and as one bare structure of any
// length, so the decoders also meet formatted areas the walk would never produce.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/smbios/decode.h"
#include "core/smbios/smbios.h"
#include "core/smbios/snapshot.h"
#include "core/smbios/tables.h"

namespace {

using namespace nadrel;

std::size_t decode_all(const DmiStructure& s) {
    std::size_t sink = 0;
    if (const auto m = decode_memory_device(s))
        sink += m->size + m->locator.size();
    sink += decode_slot(s).slot_type.size();
    if (const auto p = decode_port(s))
        sink += p->designator.size();
    sink += memory_array_capacity(s) + memory_array_devices(s) + memory_array_ecc(s).size();
    sink += processor_socket(s).size() + (processor_populated(s) ? 1 : 0) + bios_rom_size(s);
    for (std::size_t n = 0; n <= s.strings.size() + 1; ++n)
        sink += smbios_string(s, n).size();
    return sink;
}

// Every field read at every offset a decoder uses, and a little beyond.
std::size_t read_all(const DmiStructure& s) {
    std::size_t sink = 0;
    for (std::size_t offset = 0; offset < 0x68; ++offset) {
        sink += smbios_qword(s, offset) + smbios_string_at(s, offset).size();
    }
    return sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    volatile std::size_t sink = 0;

    const std::vector<DmiStructure> list = parse_smbios_table(bytes);
    for (const DmiStructure& s : list)
        sink = sink + decode_all(s);
    SystemSnapshot snapshot;
    collect_smbios_memory(snapshot, list);
    collect_smbios_sockets(snapshot, list);
    sink = sink + smbios_memory_ecc(list).size() + smbios_slots(list).size() +
           smbios_usb_ports(list) + smbios_rom_size(list) + smbios_ports(list).size() +
           smbios_version(bytes).size() + snapshot.memory_modules.size();
    sink = sink + format_smbios_dump(list).size();

    // The same bytes as one structure: type from byte 0, the rest up to the first NUL pair as
    // the formatted area and the strings split at NULs after it.
    DmiStructure bare;
    bare.type = size > 0 ? data[0] : 0;
    std::size_t end = 0;
    while (end + 1 < size && !(data[end] == 0 && data[end + 1] == 0))
        ++end;
    bare.formatted.assign(data, data + end);
    std::string current;
    for (std::size_t i = end; i < size; ++i) {
        if (data[i] != 0) {
            current.push_back(static_cast<char>(data[i]));
        } else if (!current.empty()) {
            bare.strings.push_back(current);
            current.clear();
        }
    }
    sink =
        sink + decode_all(bare) + read_all(bare) + format_smbios_dump(std::span(&bare, 1)).size();
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        sink = sink + is_placeholder(std::string_view(reinterpret_cast<const char*>(data), i));
    }
    (void)sink;
    return 0;
}
