// SPDX-License-Identifier: MIT
// ifvec: raw record images, the 824 bytes of an if_index_vector_t as a
// program holds it, copied out of memory, a core, a message or shared memory.
// The 32-bit fields (num_if, the four byte counts, single_if_index) are in
// the writer's byte order; the bitmaps are bytes, position p being bit
// 7 - p % 8 of byte p / 8 in any byte order.
#pragma once

#include <if_index_vec/if_index_vector.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace if_index_vec::cli {

enum class byte_order { host, big, little };

// "big", "little" or "host"; fails on anything else.
byte_order parse_byte_order(std::string_view text);

// One image read back: the record in the host's order, where it was found,
// and what in it disagrees with the layout or with itself.
struct record_image {
    if_index_vector_t rec;
    std::size_t number;   // 1 for the first record of its input
    std::uint64_t offset; // of its first byte in that input
    std::vector<std::string> problems;
};

// Where the images of an input are: the first after `offset` bytes (of a
// memory or core image), and at most `count` of them.
struct record_window {
    std::uint64_t offset = 0;
    std::uint64_t count = UINT64_MAX;
};

// "4096", "0x1000": a number for --offset and --count; fails naming `option`
// on anything else.
std::uint64_t parse_size(std::string_view option, std::string_view text);

// Reads the images of `in` (named `where` in messages) in `window`, in turn,
// as records in `order`, each handed to `each` as soon as it is read.  An
// offset beyond the end of the input, and no image at all, are errors; an
// input that ends in part of an image returns what is wrong with it (after
// the whole records before it), else "".  Offsets are of the whole input.
[[nodiscard]] std::string read_records(std::FILE *in, std::string_view where, byte_order order,
                                       const record_window &window,
                                       const std::function<void(const record_image &)> &each);

// Writes `rec` as an image in `order`; false when the write fails (errno says why).
bool write_record(std::FILE *out, const if_index_vector_t &rec, byte_order order);

} // namespace if_index_vec::cli
