// A big text input (the PCI ID database) mapped once: straight from the page cache when only
// root can change the file, else read into an anonymous mapping that the kernel fills with
// pages in one go, instead of the page-by-page faults a growing buffer takes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "linux/root/sysroot.h"

namespace nadrel {

// Owns the mapping (or, where none can be made, a string with the bytes).
class MappedText {
public:
    MappedText() = default;
    explicit MappedText(std::string copy) : copy_(std::move(copy)) {}
    // Takes over a mapping of size bytes.
    MappedText(void* data, std::size_t size) : data_(data), size_(size), mapped_(size) {}
    ~MappedText();
    MappedText(MappedText&& other) noexcept;
    MappedText& operator=(MappedText&& other) noexcept;
    MappedText(const MappedText&) = delete;
    MappedText& operator=(const MappedText&) = delete;

    std::string_view view() const;
    // Keeps only the first size bytes in view (the mapping itself stays whole).
    void shrink(std::size_t size);

private:
    void* data_ = nullptr;    // the mapping, when there is one
    std::size_t size_ = 0;    // bytes in view
    std::size_t mapped_ = 0;  // bytes mapped
    std::string copy_;
};

// The bytes of a regular file beneath the root, up to limit bytes, as they were when read;
// nothing when it is missing, unreadable, not a regular file or larger than limit.
std::optional<MappedText> map_text(const SysRoot& root, std::string_view path, std::size_t limit);

}  // namespace nadrel
