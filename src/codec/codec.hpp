// SPDX-License-Identifier: MIT
// The library's side of the interface-index codec.  The conversions
// themselves (classify, position_of, if_index_at, name_into) are the public
// ones of <if_index_vec/if_index_text.hpp>, so the library, its C++
// interface and its tools read the codec the same way; this header adds
// what the library does with their results.
//
// Of the codec's results only if_index_get_type()'s status is kept: add and
// remove hand it back.  Everything else is judged by its outputs: a type code
// the codec did not write is no_type, a field it did not write gives
// no_position, and both make the if_index one the record cannot hold.
//
// Everything here is inline: a walk makes three codec calls per member, and
// the library's own share of that cost is kept to the calls themselves.
#pragma once

#include <if_index_vec/if_index_text.hpp>

#include <cstdint>

namespace ifvec::detail {

// An if_index as the codec describes it.
struct Located {
    std::uint32_t status; // if_index_get_type()'s result
    std::uint8_t type;    // the type code, or no_type
    int position;         // its position for a bitmap type whose fields the codec gave,
                          // else no_position; may lie beyond the capacity
};

[[gnu::always_inline]] inline Located locate(std::uint32_t if_index) noexcept {
    const classification c = classify(if_index);
    return {c.status, c.type, position_of(c.type, if_index)};
}

} // namespace ifvec::detail
