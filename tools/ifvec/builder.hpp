// SPDX-License-Identifier: MIT
// ifvec: a set being read.
#pragma once

#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_vector.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace if_index_vec::cli {

// A set being read.  Runs of positions and bytes of a hex dump are written
// into the record's bitmaps directly, by the public bit numbering (set_bits()
// of <if_index_vec/if_index_types.hpp>); vector() recounts them with the
// library's union and adds the single-slot member.
class set_builder {
public:
    // Decides on a single-slot member: returns why it is refused, or "",
    // and may keep it in `slot`.
    using single_rule = std::function<std::string(std::uint32_t if_index, std::uint32_t &slot)>;

    // A set: a second single-slot member, different from the first, is refused.
    set_builder();
    explicit set_builder(single_rule rule);

    void add_run(const bitmap_type &t, int lo, int hi) noexcept;
    void add_byte(const bitmap_type &t, std::size_t byte, std::uint8_t bits) noexcept;
    [[nodiscard]] std::string add_single(std::uint32_t if_index) { return rule_(if_index, single_); }

    [[nodiscard]] index_vector vector() const;

private:
    // cppcheck-suppress functionConst ; it hands out the bits to be written
    std::span<std::uint8_t> bitmap(const bitmap_type &t) noexcept;

    if_index_vector_t rec_{};
    std::uint32_t single_ = 0;
    single_rule rule_;
};

} // namespace if_index_vec::cli
