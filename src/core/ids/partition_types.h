// Names of partition types: GPT type GUIDs (UEFI 2.10, 5.3.3, and the systemd list of
// discoverable partitions) and MBR type bytes, as fdisk names them.
#pragma once

#include <string_view>

namespace nadrel {

// The name of "c12a7328-f81f-11d2-ba4b-00a0c93ec93b" (either case) or "0x83"; empty for a
// type not in the table.
std::string_view partition_type_name(std::string_view type);

}  // namespace nadrel
