// The one owner of a file descriptor: closes it when it goes, moves but never copies.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace nadrel {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives the descriptor away; the caller closes it.
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and returns the error close gives (0 on success): some file systems report
    // a failed write only here.
    int close_now() {
        if (fd_ < 0)
            return 0;
        return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};

}  // namespace nadrel
