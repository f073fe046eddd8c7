// SPDX-License-Identifier: MIT
// ifvec: reading sets.  Operands, and standard input for '-', are read as
// streams of bytes in pieces of any size, so memory stays bounded whatever
// the input: an item other than a range list or a dump line is held only up
// to a fixed length, and range lists and dump lines are parsed run by run
// as they arrive.  Runs go straight into a record's bitmaps.
#pragma once

#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_vector.hpp>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace if_index_vec::cli {

// How names become if_indexes: any if_index_vec::name_parser.
using name_parse_fn = std::function<bool(const char *, std::uint32_t *)>;
static_assert(name_parser<name_parse_fn>);

// The codec's own parser of names (the stand-in's if_index_parse).
name_parse_fn codec_name_parser();

// A set being read.  Runs of positions and bytes of a hex dump are written
// into the record's bitmaps directly, by the public bit numbering (position
// p is bit 7 - p % 8 of byte p / 8); vector() recounts them with the
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

// Reads operands into sets; '-' is standard input, which can be read once.
class operand_reader {
public:
    explicit operand_reader(name_parse_fn parse) : parse_(std::move(parse)) {}
    void read(std::string_view operand, set_builder &into);
    // Standard input, for a reader of its own; fails when it was taken.
    std::FILE *take_stdin();

private:
    name_parse_fn parse_;
    bool stdin_read_ = false;
};

} // namespace if_index_vec::cli
