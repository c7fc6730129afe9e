// Fixture trees shaped like sysfs: links written relative, as the kernel makes them.
#pragma once

#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace nadrel::test {

// The relative target that leads from the folder of link to target (both machine paths
// without the leading "/"): ("sys/block/sda", "sys/devices/x/sda") gives "../devices/x/sda".
std::string relative_target(std::string_view link, std::string_view target);

// A symbolic link at link pointing to target, written relative like the kernel's own.
void kernel_link(const TempDir& dir, std::string_view link, std::string_view target);

}  // namespace nadrel::test
