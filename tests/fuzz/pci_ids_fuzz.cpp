// libFuzzer target: the pci.ids walk over an arbitrary database text. The first four bytes
// choose the vendor and device (and, reversed, the subsystem; the first two the class); a found
// name is non-empty, valid UTF-8 and has no line feed, and the indexed walk finds what the
// whole walk finds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/ids/pci_ids.h"
#include "core/text/unicode.h"

namespace {

void check(const std::optional<std::string>& name) {
    if (name &&
        (name->empty() || !nadrel::is_valid_utf8(*name) || name->find('\n') != std::string::npos))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const auto vendor = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
    const auto device = static_cast<std::uint16_t>(data[2] << 8 | data[3]);
    const std::string_view db(reinterpret_cast<const char*>(data + 4), size - 4);
    const auto name = nadrel::pci_lookup(db, vendor, device);
    check(name);
    const nadrel::IdIndex index = nadrel::index_ids(db);
    const auto indexed = nadrel::id_lookup(db, index, vendor, device);
    if ((indexed ? indexed->device : std::nullopt) != name)
        std::abort();
    check(nadrel::subsystem_lookup(db, index, vendor, device, device, vendor));
    if (const auto cls = nadrel::class_lookup(db, index, data[0], data[1])) {
        check(cls->name);
        check(cls->subclass);
    }
    return 0;
}
