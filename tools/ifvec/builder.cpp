// SPDX-License-Identifier: MIT
// ifvec: a set being read, written into a record's bitmaps as it is read.
#include "builder.hpp"

#include "item_grammar.hpp"
#include "common.hpp"
#include "messages.hpp"

#include <utility>

namespace if_index_vec::cli {

namespace {

std::string keep_one(std::uint32_t if_index, std::uint32_t &slot) {
    if (slot != 0 && slot != if_index)
        return "a set holds one " + std::string(single_type.keyword) + " interface and already has " +
               tools::message_name(name_of(slot));
    slot = if_index;
    return "";
}

} // namespace

set_builder::set_builder() : set_builder(keep_one) {}

set_builder::set_builder(single_rule rule) : rule_(std::move(rule)) { if_index_vector_init(&rec_); }

std::span<std::uint8_t> set_builder::bitmap(const bitmap_type &t) noexcept {
    return {reinterpret_cast<std::uint8_t *>(&rec_) + t.bits_offset, t.bytes};
}

void set_builder::add_run(const bitmap_type &t, int lo, int hi) noexcept { set_bits(bitmap(t).data(), lo, hi); }

void set_builder::add_byte(const bitmap_type &t, std::size_t byte, std::uint8_t bits) noexcept {
    bitmap(t)[byte] |= bits;
}

index_vector set_builder::vector() const {
    index_vector v(rec_);
    if_index_vector_union(v.c_ptr(), v.c_ptr()); // sets num_if from the bitmaps
    if (single_ != 0)
        (void)v.insert(single_); // checked when it was read
    return v;
}

} // namespace if_index_vec::cli
