// The library's side of the interface-index codec: classifying an if_index
// and converting between if_indexes and bitmap positions.  Nothing else in
// the library calls the codec directly.
//
// A failed codec call leaves its output as the library initialised it: the
// type code starts at kNoType, which no field holds, so an if_index the codec
// cannot classify is treated as of an unheld type; a failed field accessor
// gives kNone, which every caller treats the same way.
#pragma once

#include <cstdint>

namespace ifv::detail {

// A type code that no field holds and that is above every accepted code.
inline constexpr std::uint8_t kNoType = 0xFF;

struct Classified {
    std::uint32_t status; // if_index_get_type()'s result, handed back by add/remove
    std::uint8_t type;    // the type code, or kNoType
};

Classified classify(std::uint32_t if_index) noexcept;

// Position of `if_index` within the bitmap of bitmap type `type`: slot * 64 +
// port for the two port types, the channel or tunnel number otherwise; kNone
// when the codec's accessor fails.  The result may lie beyond the capacity.
int position_of(std::uint8_t type, std::uint32_t if_index) noexcept;

// The if_index of bitmap type `type` at `position`: the inverse of position_of.
std::uint32_t if_index_at(std::uint8_t type, int position) noexcept;

} // namespace ifv::detail
