// The user-space walk when the tree changes under it.
#include "linux/root/in_root.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include "linux/root/unique_fd.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

// The walk holds a folder; its owner renames it out of the tree; the walk takes "..". The
// parent is the one inside the tree, by name, never the folder's new parent.
TEST(InRoot, DotDotFromAFolderRenamedOutStaysInside) {
    for (const char* rel : {"../secret", ".././secret"}) {
        SCOPED_TRACE(rel);
        test::TempDir t;
        t.write("tree/a/b/file", "");
        t.write("tree/a/secret", "inside");
        t.write("out/x/secret", "outside");
        const UniqueFd root(::open((t.path() + "/tree").c_str(), O_PATH | O_DIRECTORY));
        const int held = ::open((t.path() + "/tree/a/b").c_str(), O_PATH | O_DIRECTORY);
        ASSERT_EQ(::rename((t.path() + "/tree/a/b").c_str(), (t.path() + "/out/x/b").c_str()), 0);
        ResolveBudget budget;
        const UniqueFd fd(open_beneath_from(root.get(), held, {"a", "b"}, rel, O_RDONLY, budget));
        char text[16] = {};
        EXPECT_EQ(::read(fd.get(), text, sizeof text - 1), 6);
        EXPECT_STREQ(text, "inside");
    }
}

}  // namespace
}  // namespace nadrel
