// Reading a big text file beneath a root into a mapping of its own.
#include "linux/root/mapped_text.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "linux/root/unique_fd.h"

namespace nadrel {

void MappedText::shrink(std::size_t size) {
    if (size < size_)
        size_ = size;
}

MappedText::~MappedText() {
    if (data_ != nullptr)
        ::munmap(data_, mapped_);
}

MappedText::MappedText(MappedText&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)),
      copy_(std::move(other.copy_)) {}

MappedText& MappedText::operator=(MappedText&& other) noexcept {
    if (this != &other) {
        if (data_ != nullptr)
            ::munmap(data_, mapped_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
        copy_ = std::move(other.copy_);
    }
    return *this;
}

std::string_view MappedText::view() const {
    if (data_ != nullptr)
        return {static_cast<const char*>(data_), size_};
    return copy_;
}

std::optional<MappedText> map_text(const SysRoot& root, std::string_view path, std::size_t limit) {
    struct stat st {};
    const UniqueFd fd(open_regular_file(root, path, st));
    if (!fd.valid() || st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > limit)
        return std::nullopt;
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size == 0)
        return MappedText();
    // A file only root can change (the system's own database) is mapped from the page cache
    // as it is, with no copy. Anyone else's file could be cut short while mapped, which would
    // kill the process on the next touch, so it is read into memory of our own.
    if (st.st_uid == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
        void* shared = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (shared != MAP_FAILED)
            return MappedText(shared, size);
    }
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (data == MAP_FAILED) {
        auto text = read_raw_text(root, path, limit);
        if (!text)
            return std::nullopt;
        return MappedText(std::move(*text));
    }
    MappedText text(data, size);
    // A file that shrank while being read keeps what was there; one that grew is cut at the
    // size it had.
    std::size_t used = 0;
    while (used < size) {
        const ssize_t n = ::read(fd.get(), static_cast<char*>(data) + used, size - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    text.shrink(used);
    return text;
}

}  // namespace nadrel
