// Table-driven checks of a function of one value: each input and the text it must give.
#pragma once

#include <gtest/gtest.h>

namespace nadrel::test {

// cases: pairs of an input and the text f makes of it.
template <typename F, typename Cases>
void expect_each(const F& f, const Cases& cases) {
    for (const auto& [in, text] : cases)
        EXPECT_EQ(f(in), text) << testing::PrintToString(in);
}

}  // namespace nadrel::test
