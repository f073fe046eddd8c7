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

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <limits>
#include <utility>

namespace if_index_vec::cli {
namespace {

constexpr std::size_t image_bytes = sizeof(if_index_vector_t);

// The record's 32-bit fields, by offset: num_if, each bitmap's byte count
// and single_if_index.  The bitmaps need no reordering.
constexpr auto image_words = [] {
    std::array<std::size_t, bitmap_types.size() + 2> at{};
    at.front() = offsetof(if_index_vector_t, num_if);
    std::ranges::transform(bitmap_types, at.begin() + 1, &bitmap_type::offset);
    at.back() = offsetof(if_index_vector_t, single_if_index);
    return at;
}();

std::uint32_t word_at(const if_index_vector_t &rec, std::size_t offset) {
    std::uint32_t w;
    std::memcpy(&w, reinterpret_cast<const unsigned char *>(&rec) + offset, sizeof w);
    return w;
}

bool swapped(byte_order order) {
    return order != byte_order::host &&
           (order == byte_order::big) != (std::endian::native == std::endian::big);
}

void swap_words(unsigned char *image) {
    for (const std::size_t at : image_words) {
        std::uint32_t w;
        std::memcpy(&w, image + at, sizeof w);
        w = __builtin_bswap32(w);
        std::memcpy(image + at, &w, sizeof w);
    }
}

// Turns an image in `order` into the host's order, or back: the same swap.
void reorder(unsigned char *image, byte_order order) {
    if (swapped(order))
        swap_words(image);
}

std::vector<std::string> problems_of(const if_index_vector_t &rec) {
    std::vector<std::string> problems;
    for (const bitmap_type &t : bitmap_types)
        if (const std::uint32_t stored = word_at(rec, t.offset); stored != t.bytes)
            problems.push_back("byte count of " + std::string(t.keyword) + " is " + std::to_string(stored) +
                               ", not " + std::to_string(t.bytes));
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

// "looks byte-swapped: try --byte-order=big" for a record read in `order`
// whose byte counts or num_if are wrong as read, when read in the other
// order its byte counts are all right and nothing else disagrees but what
// already did, else "".
std::string swap_hint(const if_index_vector_t &rec, const std::vector<std::string> &problems,
                      byte_order order) {
    const auto counts_wrong = [](const std::vector<std::string> &p) {
        return std::ranges::count_if(p, [](const std::string &x) { return x.starts_with("byte count"); });
    };
    if (problems.empty())
        return "";
    if_index_vector_t other = rec;
    swap_words(reinterpret_cast<unsigned char *>(&other));
    const std::vector<std::string> other_problems = problems_of(other);
    if (!other_problems.empty() && (counts_wrong(other_problems) != 0 || counts_wrong(problems) == 0))
        return "";
    const bool read_big = order == byte_order::big || (order == byte_order::host && std::endian::native == std::endian::big);
    return std::string("looks byte-swapped: try --byte-order=") + (read_big ? "little" : "big");
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

std::uint64_t parse_size(std::string_view option, std::string_view text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = hex ? text.substr(2) : text;
    std::uint64_t n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n, hex ? 16 : 10);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        fail("bad " + std::string(option) + " " + tools::shown(text) +
             " (expected a decimal number, or 0x and hex digits)");
    return n;
}

namespace {

// Moves `in` to `offset`: by seeking in a regular file, else by reading.
// Fails when the input ends before it.
void skip_to(std::FILE *in, std::string_view where, std::uint64_t offset) {
    if (offset == 0)
        return;
    struct stat st {};
    if (::fstat(::fileno(in), &st) == 0 && S_ISREG(st.st_mode)) {
        const auto size = static_cast<std::uint64_t>(st.st_size);
        if (offset > size)
            fail(std::string(where) + ": offset " + std::to_string(offset) + " is beyond its end (" +
                 std::to_string(size) + " bytes)");
        if (offset <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
            ::fseeko(in, static_cast<off_t>(offset), SEEK_SET) == 0)
            return;
    }
    unsigned char buf[image_bytes * 8];
    for (std::uint64_t read = 0; read < offset;) {
        const std::size_t n = std::fread(buf, 1, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof buf, offset - read)), in);
        if (std::ferror(in) != 0)
            fail(std::string(where) + ": read error: " + std::strerror(errno), exit_read);
        if (n == 0)
            fail(std::string(where) + ": offset " + std::to_string(offset) + " is beyond its end (" +
                 std::to_string(read) + " bytes)");
        read += n;
    }
}

} // namespace

std::string read_records(std::FILE *in, std::string_view where, byte_order order, const record_window &window,
                         const std::function<void(const record_image &)> &each) {
    skip_to(in, where, window.offset);
    unsigned char image[image_bytes];
    std::size_t number = 0;
    for (; number < window.count; ++number) {
        // 64-bit: past 4 GiB where size_t has 32 bits
        const std::uint64_t at = window.offset + static_cast<std::uint64_t>(number) * image_bytes;
        const std::size_t n = std::fread(image, 1, sizeof image, in);
        if (std::ferror(in) != 0)
            fail(std::string(where) + ": read error: " + std::strerror(errno), exit_read);
        if (n == 0 && number == 0)
            fail(std::string(where) + ": no record" + (at != 0 ? " at byte " + std::to_string(at) : "") +
                 " (an image is " + std::to_string(image_bytes) + " bytes)");
        if (n == 0)
            return "";
        if (n < sizeof image)
            return std::string(where) + ": record " + std::to_string(number + 1) + " at byte " +
                   std::to_string(at) + ": only " + std::to_string(n) + " of " +
                   std::to_string(image_bytes) + " bytes (a partial record)";
        reorder(image, order);
        record_image r{{}, number + 1, at, {}};
        std::memcpy(&r.rec, image, sizeof image);
        r.problems = problems_of(r.rec);
        if (std::string hint = swap_hint(r.rec, r.problems, order); !hint.empty())
            r.problems.push_back(std::move(hint));
        each(r);
    }
    return "";
}

bool write_record(std::FILE *out, const if_index_vector_t &rec, byte_order order) {
    unsigned char image[image_bytes];
    std::memcpy(image, &rec, sizeof image);
    reorder(image, order);
    return std::fwrite(image, 1, sizeof image, out) == sizeof image;
}

} // namespace if_index_vec::cli
