// SPDX-License-Identifier: MIT
// ifvec: the text of every error found while reading sets.
#include "errors.hpp"

#include "common.hpp"
#include "views.hpp"

#include "item_grammar.hpp"
#include "messages.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace if_index_vec::cli::errors {

namespace {

std::vector<std::string_view> bitmap_keywords() {
    std::vector<std::string_view> keywords;
    std::ranges::transform(bitmap_types, std::back_inserter(keywords), &bitmap_type::keyword);
    return keywords;
}

// "phy_fc, port_channel, iscsi, fc_tunnel": the keywords of range lists.
std::string list_keywords() { return tools::joined(bitmap_keywords(), ", "); }

// The keywords of every type a vector holds: those and the single slot's.
std::string held_keywords() {
    std::vector<std::string_view> held = bitmap_keywords();
    held.push_back(single_type.keyword);
    return tools::joined(held, ", ");
}

// "fc1/1 to fc16/64": the first and last names of a type.
std::string name_span(const bitmap_type &t) {
    return tools::message_name(name_at(t.code, 0)) + " to " +
           tools::message_name(name_at(t.code, t.capacity - 1));
}

// "(fc1/1 to fc16/64, 64 ports per slot)": the limits of a type in the
// codec's names.
std::string limits(const bitmap_type &t) {
    std::string s = "(" + name_span(t);
    if (t.slot_port)
        s += ", " + std::to_string(ports_per_slot) + " ports per slot";
    return s + ")";
}

// "fc1/1 to fc16/64, ... and fc-tunnel0 to fc-tunnel4095": every name that
// reads, in the codec's words.
std::string known_names() {
    std::vector<std::string> spans;
    std::ranges::transform(bitmap_types, std::back_inserter(spans), name_span);
    return tools::joined(spans, ", ", " and ");
}

// "a name range such as fc1/1-4, an if_index such as 0x01000300, or a range
// list such as port_channel:0-3,9": the examples from the codec's own names
// and if_indexes, of the first bitmap type's positions 0 and 3 (no name range
// when the codec's names do not make one).
std::string other_items() {
    const bitmap_type &t = bitmap_types.front();
    const std::string range = tools::name_range_example(t);
    return (range.empty() ? "" : "a name range such as " + range + ", ") + "an if_index such as " +
           tools::hex(if_index_at(t.code, 3)) + ", or a range list such as port_channel:0-3,9";
}

} // namespace

std::string located(std::string_view where, std::size_t line_no, std::string_view text,
                    std::string_view why) {
    return std::string(where) + (where.empty() ? "" : std::to_string(line_no) + ": ") + tools::shown(text) +
           ": " + std::string(why);
}

std::string item(const named_members &m) {
    const std::string at = m.error.offset != 0 ? " at offset " + std::to_string(m.error.offset) : "";
    const bitmap_type *t = find_bitmap_type(m.type);
    switch (m.error.code) {
    case text_errc::unknown_name:
        return "unknown interface name" + at + (at.empty() ? "" : " (the range's last name)") +
               "; names are " + known_names() + ", and an item may also be " + other_items();
    case text_errc::not_held:
        return "type " + std::to_string(m.type) + " is not held in a vector (held: " + held_keywords() + ")";
    case text_errc::beyond_capacity:
        return "beyond the capacity of " + std::string(t->keyword) + at + " " + limits(*t);
    case text_errc::reversed_range: return "reversed range" + at + " (write the lower end first)";
    case text_errc::single_range:
        return "range" + at + " of a single-slot type (" + std::string(single_type.keyword) +
               " holds one interface)";
    default: return std::string(describe(m.error.code)) + at;
    }
}

std::string number(std::string_view text, text_error e) {
    const bool hex = text.size() >= 2 && (text[1] == 'x' || text[1] == 'X');
    switch (e.code) {
    case text_errc::no_digits: return "expected hex digits after 0x";
    case text_errc::too_many_digits: return "an if_index has at most 8 hex digits";
    case text_errc::leading_zero: return "leading zero in a decimal if_index (write hex as 0x...)";
    case text_errc::overflow: return "an if_index is at most 4294967295 (0xffffffff)";
    default:
        return "unexpected " + tools::shown(text.substr(e.offset, 1)) +
               (hex ? " in a hex" : " in a decimal") + " if_index";
    }
}

std::string list(text_error e, std::size_t at, const bitmap_type &t, bool hex_digits) {
    const std::string offset = " at offset " + std::to_string(at + e.offset);
    std::string s = std::string(describe(e.code)) + offset;
    if (hex_digits)
        return s + " (expected positions such as 0-3,9, or exactly " + std::to_string(t.capacity / 4) +
               " hex digits)";
    switch (e.code) {
    case text_errc::empty_item: return s + " (a comma at the start or end, or two in a row)";
    case text_errc::reversed_range: return s + " (write the lower position first)";
    case text_errc::beyond_capacity:
        return "position beyond the capacity of " + std::string(t.keyword) + offset + " (positions 0-" +
               std::to_string(t.capacity - 1) + ")";
    case text_errc::overflow:
    case text_errc::invalid_character: return s + " (expected positions such as 0-3,9)";
    default: return s;
    }
}

std::string empty_list() { return "empty range list after ':' (expected positions such as 0-3,9)"; }

std::string keyword(std::string_view word) {
    if (word == single_type.keyword)
        return std::string(word) + " is a single slot, not a range of positions: give it by name";
    return "unknown type keyword " + tools::shown(word) + " (expected " + list_keywords() + ")";
}

std::string empty_item() { return "empty item (a comma at the start or end of a set, or two in a row)"; }

std::string count_line() {
    return "expected the member count after '" + std::string(dump_count_header) + "'";
}

std::string count_mismatch(std::uint64_t said, std::uint64_t held) {
    return "the count line says " + std::to_string(said) + " members, but the input holds " +
           std::to_string(held) + " (a partial paste?)";
}

std::string counts_view() {
    return "a line of the --counts view, which does not name the members (the output of " +
           read_back_views() + " reads back, alone or together)";
}

std::string json_view() {
    return "the start of --format=json output, which does not read back (the output of " + read_back_views() +
           " does, alone or together)";
}

std::string nul_byte(std::string_view where, std::size_t offset) {
    return std::string(where) + ": NUL byte at offset " + std::to_string(offset);
}

std::string read_error(std::string_view where, int error) {
    return std::string(where) + ": read error: " + std::strerror(error);
}

std::string stdin_twice() { return "'-': standard input can be read only once"; }

} // namespace if_index_vec::cli::errors
