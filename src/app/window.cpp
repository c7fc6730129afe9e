// Finding, opening and calling the window module: installed below the program's folder
// (../lib/nadrel beside bin), or beside the program in the build tree.
#include "app/window.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <memory>

#include "linux/gui/window_abi.h"

namespace nadrel {
namespace {

struct ModuleCloser {
    void operator()(void* handle) const { ::dlclose(handle); }
};
using UniqueModule = std::unique_ptr<void, ModuleCloser>;

// The folder of the running program, from /proc/self/exe (the program's own file, not the
// machine being reported on).
std::string program_folder() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return ".";
    const std::string path(buffer.data(), static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// The first module found; a module that is there but does not load is an error of its own.
UniqueModule open_module(std::string& error) {
    const std::string folder = program_folder();
    const std::string installed = folder + "/" NADREL_MODULE_RELDIR "/" + window_module_name;
    const std::string beside = folder + "/" + window_module_name;
    for (const std::string& path : {installed, beside}) {
        if (::access(path.c_str(), F_OK) != 0)
            continue;
        UniqueModule module(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
        if (!module) {
            const char* why = ::dlerror();
            error = why != nullptr ? why : path;
        }
        return module;
    }
    error = installed + " not found";
    return nullptr;
}

}  // namespace

Failure run_window(const Environment& env, const SysRoot& root, const WindowInput& input) {
    std::string error;
    const UniqueModule module = open_module(error);
    if (!module)
        return "window module missing: " + error;
    void* symbol = ::dlsym(module.get(), window_entry_name);
    if (symbol == nullptr)
        return "window module missing: no entry point " + std::string(window_entry_name);
    const auto entry = reinterpret_cast<NadrelRunWindow>(symbol);

    const FlatDocument flat_summary = flatten(input.summary);
    const FlatDocument flat_detailed = flatten(input.detailed);
    NadrelWindowArgs args{};
    args.abi = window_abi;
    args.summary = flat_summary.document();
    args.detailed = flat_detailed.document();
    args.stamp = abi_text(input.stamp);
    args.root_dir = abi_text(root.dir());
    args.home = abi_optional_text(env.home);
    args.gdk_scale = abi_optional_text(env.gdk_scale);
    args.wayland_display = env.wayland_display ? 1 : 0;
    args.sanitize = input.sanitize ? 1 : 0;
    args.cursor_theme = abi_optional_text(env.xcursor_theme);
    args.cursor_size = abi_optional_text(env.xcursor_size);

    std::array<char, 4096> message{};
    if (entry(&args, message.data(), message.size()) == 0)
        return std::nullopt;
    return std::string(message.data());
}

}  // namespace nadrel
