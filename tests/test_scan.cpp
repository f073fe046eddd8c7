// SPDX-License-Identifier: MIT
// The scan core against hand-made byte patterns: MSB-first bit numbering and
// big-endian word edges, on every capacity (the driver checks what is above).
#include <gtest/gtest.h>

#include <random>

#include "layout.hpp"
#include "bitmap.hpp"

using namespace if_index_vec::detail;

// Single bits at word edges (byte 0 = 0x80 is position 0, 0x01 is 7; byte 3
// = 0x80 is 24; ...), fills 00/FF/55/AA, and sparse and dense random bytes;
// starts at every word edge, at the capacity and past it.
TEST(Scan, EveryScanAgreesWithABitByBitReading) {
    std::mt19937 rng(7);
    for (const auto &row : if_index_vec::test::kRows) {
        const int cap = row.capacity;
        std::vector<std::vector<std::uint8_t>> patterns;
        for (int p : {0, 7, 24, 31, 32, 33, 63, 64, 255, cap - 1}) {
            patterns.emplace_back(static_cast<std::size_t>(cap / 8));
            patterns.back()[static_cast<std::size_t>(p / 8)] = static_cast<std::uint8_t>(0x80 >> p % 8);
        }
        for (int k = 0; k < 24; ++k) {
            const unsigned fills[] = {0x00, 0xFF, 0x55, 0xAA};
            patterns.emplace_back(static_cast<std::size_t>(cap / 8), static_cast<std::uint8_t>(fills[k % 4]));
            for (auto &b : patterns.back())
                b = k < 4   ? b
                    : k % 2 ? (rng() % 16 ? 0 : static_cast<std::uint8_t>(rng()))
                            : (rng() % 4 ? 0xFF : b);
        }
        for (const auto &bits : patterns) {
            std::vector<int> set, each, runs;
            for (int p = 0; p < cap; ++p)
                if ((bits[static_cast<std::size_t>(p / 8)] << p % 8) & 0x80)
                    set.push_back(p);
            EXPECT_EQ(count_set(bits.data(), cap), static_cast<int>(set.size()));
            for_each_set(bits.data(), cap, [&](int p) { each.push_back(p); });
            EXPECT_EQ(each, set);
            int previous_last = -2; // runs are maximal: each starts two or more after the last
            for_each_run(bits.data(), cap, [&](int first, int last) {
                EXPECT_GT(first, previous_last + 1);
                for (int p = first; p <= last; previous_last = p++)
                    runs.push_back(p);
            });
            EXPECT_EQ(runs, set);
            for (int start : {0, 1, 31, 32, 33, 63, 64, 65, cap - 1, cap, cap + 1, cap + 64}) {
                const auto next = std::lower_bound(set.begin(), set.end(), start);
                const int want_set = next == set.end() || start < 0 ? if_index_vec::no_position : *next;
                EXPECT_EQ(next_set_at_or_after(bits.data(), cap, start), want_set) << cap << " " << start;
            }
            EXPECT_EQ(first_set(bits.data(), cap), set.empty() ? if_index_vec::no_position : set.front());
        }
    }
}
