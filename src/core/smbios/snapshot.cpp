// The snapshot fields taken from SMBIOS structures: memory arrays and modules, slots, processor
// sockets, USB port count, BIOS ROM size, the entry-point version and port connectors.
#include "core/smbios/snapshot.h"

#include "core/smbios/decode.h"
#include "core/smbios/tables.h"
#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::uint8_t bios_information = 0;
constexpr std::uint8_t processor_information = 4;
constexpr std::uint8_t port_connector = 8;
constexpr std::uint8_t system_slots = 9;
constexpr std::uint8_t physical_memory_array = 16;
constexpr std::uint8_t memory_device = 17;

}  // namespace

bool is_soldered(const MemoryModule& module) {
    return ascii_lower(module.form_factor) == "row of chips";
}

void collect_smbios_memory(SystemSnapshot& snapshot, std::span<const DmiStructure> dmi) {
    for (const DmiStructure& s : dmi) {
        if (s.type != physical_memory_array)
            continue;
        snapshot.memory_slots = saturating_add(snapshot.memory_slots, memory_array_devices(s));
        snapshot.memory_max_capacity =
            saturating_add(snapshot.memory_max_capacity, memory_array_capacity(s));
    }
    for (const DmiStructure& s : dmi) {
        if (s.type != memory_device)
            continue;
        if (snapshot.memory_modules.size() == max_memory_modules)
            break;
        if (auto module = decode_memory_device(s)) {
            snapshot.memory_modules.push_back(std::move(*module));
        }
    }
}

std::string smbios_memory_ecc(std::span<const DmiStructure> dmi) {
    for (const DmiStructure& s : dmi) {
        if (s.type == physical_memory_array)
            return memory_array_ecc(s);
    }
    return {};
}

std::vector<SystemSlot> smbios_slots(std::span<const DmiStructure> dmi) {
    std::vector<SystemSlot> slots;
    for (const DmiStructure& s : dmi) {
        if (s.type == system_slots)
            slots.push_back(decode_slot(s));
    }
    return slots;
}

void collect_smbios_sockets(SystemSnapshot& snapshot, std::span<const DmiStructure> dmi) {
    const DmiStructure* first = nullptr;
    const DmiStructure* first_populated = nullptr;
    for (const DmiStructure& s : dmi) {
        if (s.type != processor_information)
            continue;
        ++snapshot.cpu_sockets;
        if (first == nullptr)
            first = &s;
        if (processor_populated(s)) {
            ++snapshot.cpu_sockets_populated;
            if (first_populated == nullptr)
                first_populated = &s;
        }
    }
    const DmiStructure* named = first_populated != nullptr ? first_populated : first;
    // "CPUSocket", "SOCKET 0" and "None" label the socket without saying what kind it is.
    static constexpr std::string_view socket_names[] = {"cpu socket", "processor socket", "socket",
                                                        "socket designation"};
    if (named != nullptr) {
        if (std::string socket = processor_socket(*named); !is_placeholder(socket, socket_names))
            snapshot.cpu_socket = std::move(socket);
    }
}

std::uint64_t smbios_usb_ports(std::span<const DmiStructure> dmi) {
    std::uint64_t n = 0;
    for (const DmiStructure& s : dmi) {
        if (s.type == port_connector && s.formatted.size() >= 9 && smbios_byte(s, 0x08) == 0x10) {
            ++n;
        }
    }
    return n;
}

std::uint64_t smbios_rom_size(std::span<const DmiStructure> dmi) {
    for (const DmiStructure& s : dmi) {
        if (s.type == bios_information)
            return bios_rom_size(s);
    }
    return 0;
}

std::string smbios_version(std::span<const std::uint8_t> entry_point) {
    const auto begins = [&](std::string_view anchor) {
        if (entry_point.size() < anchor.size())
            return false;
        for (std::size_t i = 0; i < anchor.size(); ++i) {
            if (entry_point[i] != static_cast<std::uint8_t>(anchor[i]))
                return false;
        }
        return true;
    };
    // 64-bit entry point: major at 07h, minor at 08h; 32-bit: major at 06h, minor at 07h.
    if (begins("_SM3_") && entry_point.size() >= 9) {
        return strfmt("%u.%u", unsigned{entry_point[7]}, unsigned{entry_point[8]});
    }
    if (begins("_SM_") && entry_point.size() >= 8) {
        return strfmt("%u.%u", unsigned{entry_point[6]}, unsigned{entry_point[7]});
    }
    return {};
}

std::vector<PortConnector> smbios_ports(std::span<const DmiStructure> dmi) {
    std::vector<PortConnector> ports;
    for (const DmiStructure& s : dmi) {
        if (s.type != port_connector)
            continue;
        if (auto port = decode_port(s))
            ports.push_back(std::move(*port));
    }
    return ports;
}

}  // namespace nadrel
