// How much memory is installed: the first source that knows.
#include "core/installed_memory.h"

#include "core/text/fields.h"

namespace nadrel {

std::uint64_t installed_memory(const SystemSnapshot& snapshot) {
    std::uint64_t modules = 0;
    for (const MemoryModule& module : snapshot.memory_modules)
        modules = saturating_add(modules, module.size);
    if (modules != 0)
        return modules;
    return snapshot.memory_online != 0 ? snapshot.memory_online : snapshot.memory_total;
}

}  // namespace nadrel
