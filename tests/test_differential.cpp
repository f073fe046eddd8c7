// SPDX-License-Identifier: MIT
// The library's behaviour per family: library_cases.txt scripts for the differential driver, then
// seeded mixed runs, also on threads with their own vectors (tsan: no shared mutable state).
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "driver.hpp"

namespace {

// The library_cases.txt rows of one family (FAMILY|NAME|STEPS), each on its own driver.
class NamedCases : public testing::TestWithParam<std::string> {};
TEST_P(NamedCases, AgreeWithTheModel) {
    std::ifstream in(IF_INDEX_VEC_LIBRARY_CASES);
    int cases = 0;
    for (std::string line; std::getline(in, line);) {
        const std::size_t name = line.find('|') + 1, steps = line.find('|', name) + 1;
        if (line.substr(0, name) != GetParam() + '|')
            continue;
        if_index_vec::test::Source unused(0);
        EXPECT_EQ(if_index_vec::test::Driver(unused).script(line.substr(steps)), "")
            << line.substr(name, steps - name - 1);
        ++cases;
    }
    EXPECT_GT(cases, 1) << "cases of " << GetParam() << " in " << IF_INDEX_VEC_LIBRARY_CASES;
}
// init, copy, is_equal; add, remove, is_present; walks; algebra; counts; prints and C++ text.
INSTANTIATE_TEST_SUITE_P(Family, NamedCases,
                         testing::Values("Record", "Membership", "Walk", "Algebra", "Count", "Print"),
                         [](const auto &info) { return info.param; });

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

} // namespace
