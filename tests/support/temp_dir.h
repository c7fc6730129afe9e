// A temporary folder for a test, removed with everything in it at the end.
#pragma once

#include <string>
#include <string_view>

namespace nadrel::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes a file (creating parent folders) at a path relative to the folder.
    void write(std::string_view rel, std::string_view content) const;
    void mkdir(std::string_view rel) const;
    // A symbolic link at rel pointing to target (written as given).
    void symlink(std::string_view rel, std::string_view target) const;

private:
    std::string path_;
};

}  // namespace nadrel::test
