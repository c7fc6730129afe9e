// Sanitizing: what identifies the machine or its owner is replaced before anything is shown.
#pragma once

#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

// What the text outputs show in place of a hidden value.
inline constexpr std::string_view hidden_text = "<hidden>";

// The snapshot with the host name, every serial, UUID, asset tag, MAC address and the machine
// id replaced by hidden_text (empty values stay empty: unknown is not hidden).
SystemSnapshot sanitize_snapshot(SystemSnapshot snapshot);

}  // namespace nadrel
