// Test aids for the GoogleTest suites: the model's helpers plus the record
// invariant.
#pragma once

#include <gtest/gtest.h>

#include "model.hpp"

namespace ifvec::test {

// Members the record stores, counted bit by bit (independent of the
// library's word-wide count).
inline std::uint32_t slow_recount(const if_index_vector_t &v) {
    std::uint32_t n = v.single_if_index != 0 ? 1 : 0;
    for (const auto &t : kBitmapTypes)
        n += static_cast<std::uint32_t>(positions(bits_of(v, t), t.capacity).size());
    return n;
}

// The record invariant: num_if equals what the record stores.
#define EXPECT_CONSISTENT(vec) \
    EXPECT_EQ((vec).num_if, ::ifvec::test::slow_recount(vec)) << "num_if disagrees with the bits"

} // namespace ifvec::test
