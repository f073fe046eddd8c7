// SPDX-License-Identifier: MIT
// The differential driver on seeded runs, and on several threads at once on
// their own vectors: under ThreadSanitizer (preset tsan) that also shows the
// library keeps no shared mutable state.
#include <gtest/gtest.h>

#include <thread>

#include "driver.hpp"

TEST(Differential, MixedOperationsAgreeWithTheModel) {
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        if_index_vec::test::Source src(seed);
        EXPECT_EQ(if_index_vec::test::Driver(src).run(5000), "") << "seed " << seed;
    }
}

TEST(Differential, ThreadsOnTheirOwnVectorsAgreeWithTheModel) {
    std::string failures[4];
    if_index_vec::test::capture_stdout([&] { // the print functions' text goes nowhere
        std::vector<std::thread> threads;
        for (std::uint64_t i = 0; i < 4; ++i)
            threads.emplace_back([i, &failures] {
                if_index_vec::test::Source src(100 + i);
                failures[i] = if_index_vec::test::Driver(src, false).run(3000);
            });
        for (auto &t : threads)
            t.join();
    });
    for (const std::string &f : failures)
        EXPECT_EQ(f, "");
}
