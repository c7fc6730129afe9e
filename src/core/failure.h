// What an action that can fail gives back: nothing when it succeeded, else the reason as a
// person reads it ("Permission denied (os error 13)").
#pragma once

#include <optional>
#include <string>

namespace nadrel {

using Failure = std::optional<std::string>;

}  // namespace nadrel
