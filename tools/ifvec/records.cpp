// SPDX-License-Identifier: MIT
// ifvec: raw record images.  Only the 32-bit fields are reordered; what
// disagrees is reported, never repaired: a byte count other than its
// bitmap's size, and a num_if other than the set positions plus the
// occupied slot (recounted by the library's own union of a copy with
// itself).
#include "records.hpp"

#include "common.hpp"
#include "messages.hpp"

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_types.hpp>

#include <array>
#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace ifvec::cli {
namespace {

constexpr std::size_t kImageBytes = sizeof(if_index_vector_t);

// The record's 32-bit fields, by offset; the bitmaps need no reordering.
constexpr std::array<std::size_t, 6> kWords{offsetof(if_index_vector_t, num_if),
                                            offsetof(if_index_vector_t, phy_fc.num_bytes),
                                            offsetof(if_index_vector_t, port_channel.num_bytes),
                                            offsetof(if_index_vector_t, iscsi.num_bytes),
                                            offsetof(if_index_vector_t, fc_tunnel.num_bytes),
                                            offsetof(if_index_vector_t, single_if_index)};

bool swapped(byte_order order) {
    return order != byte_order::host &&
           (order == byte_order::big) != (std::endian::native == std::endian::big);
}

// Turns an image in `order` into the host's order, or back: the same swap.
void reorder(unsigned char *image, byte_order order) {
    if (!swapped(order))
        return;
    for (const std::size_t at : kWords) {
        std::uint32_t w;
        std::memcpy(&w, image + at, sizeof w);
        w = __builtin_bswap32(w);
        std::memcpy(image + at, &w, sizeof w);
    }
}

std::vector<std::string> problems_of(const if_index_vector_t &rec) {
    std::vector<std::string> problems;
    const std::array<std::uint32_t, 4> stored{rec.phy_fc.num_bytes, rec.port_channel.num_bytes,
                                              rec.iscsi.num_bytes, rec.fc_tunnel.num_bytes};
    for (std::size_t i = 0; i < bitmap_types.size(); ++i) {
        const auto size = static_cast<std::uint32_t>(bitmap_types[i].capacity / 8);
        if (stored[i] != size)
            problems.push_back("byte count of " + std::string(bitmap_types[i].keyword) + " is " +
                               std::to_string(stored[i]) + ", not " + std::to_string(size));
    }
    if (const std::uint32_t single = rec.single_if_index;
        single != 0 && classify(single).type != single_type.code)
        problems.push_back("single_if_index is " + tools::hex(single) + ", of type " +
                           std::to_string(classify(single).type) + ", not " +
                           std::to_string(single_type.code));
    if_index_vector_t copy = rec;
    if (const std::uint32_t held = if_index_vector_union(&copy, &copy); held != rec.num_if)
        problems.push_back("num_if is " + std::to_string(rec.num_if) + ", but it holds " +
                           std::to_string(held));
    return problems;
}

} // namespace

byte_order parse_byte_order(std::string_view text) {
    if (text == "big")
        return byte_order::big;
    if (text == "little")
        return byte_order::little;
    if (text != "host")
        fail("unknown byte order " + tools::shown(text) + " (expected big, little or host)");
    return byte_order::host;
}

std::string read_records(std::FILE *in, std::string_view where, byte_order order,
                         const std::function<void(const record_image &)> &each) {
    unsigned char image[kImageBytes];
    std::size_t number = 0;
    std::uint64_t offset = 0; // past 4 GiB even where size_t has 32 bits
    for (;; ++number, offset += kImageBytes) {
        const std::size_t n = std::fread(image, 1, sizeof image, in);
        if (std::ferror(in) != 0)
            fail(std::string(where) + ": read error: " + std::strerror(errno), exit_read);
        if (n == 0 && number == 0)
            fail(std::string(where) + ": no record (an image is " + std::to_string(kImageBytes) + " bytes)");
        if (n == 0)
            return "";
        if (n < sizeof image)
            return std::string(where) + ": record " + std::to_string(number + 1) + " at byte " +
                   std::to_string(offset) + ": only " + std::to_string(n) + " of " +
                   std::to_string(kImageBytes) + " bytes (a partial record)";
        reorder(image, order);
        record_image r{{}, number + 1, offset, {}};
        std::memcpy(&r.rec, image, sizeof image);
        r.problems = problems_of(r.rec);
        each(r);
    }
}

bool write_record(std::FILE *out, const if_index_vector_t &rec, byte_order order) {
    unsigned char image[kImageBytes];
    std::memcpy(image, &rec, sizeof image);
    reorder(image, order);
    return std::fwrite(image, 1, sizeof image, out) == sizeof image;
}

} // namespace ifvec::cli
