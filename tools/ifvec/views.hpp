// SPDX-License-Identifier: MIT
// ifvec: the views, each a way to print a set.  The list views are the
// library's own print functions, so what ifvec shows is what a program that
// links the library prints; each of them, alone or with the others, reads
// back as the same set.
#pragma once

#include "item_grammar.hpp"

#include <if_index_vec/if_index_vector.hpp>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace if_index_vec::cli {

enum class view : unsigned { names = 1, ranges = 2, ifindex = 4, hex = 8, counts = 16, name_ranges = 32 };

// A set of views: the mask of their values, 0 for none.
using view_set = unsigned;
constexpr view_set operator|(view_set s, view v) noexcept { return s | static_cast<unsigned>(v); }
constexpr bool contains(view_set s, view v) noexcept { return (s & static_cast<unsigned>(v)) != 0; }

struct view_info {
    view flag;
    std::string_view option;  // "--names"
    std::string_view heading; // "names", printed as "names:" when several views are shown
    bool reads_back;          // its output, read as a set, is the same set
};

inline constexpr std::array<view_info, 6> all_views{{
    {view::names, "--names", "names", true},
    {view::name_ranges, "--name-ranges", "name ranges", true},
    {view::ranges, "--ranges", "ranges", true},
    {view::ifindex, "--ifindex", "ifindex", true},
    {view::hex, "--hex", "hex", true},
    {view::counts, "--counts", "counts", false},
}};

// "--names, --ranges, --ifindex and --hex": the views whose output reads
// back as the same set.
std::string read_back_views();

// What a list view prints for the empty set under a heading.
using tools::empty_mark;

// The headings of diff's two sections: the members only in the first set,
// then those only in the second.  Read back, they are skipped like the
// views' headings, so the whole output is the symmetric difference.
inline constexpr std::array<std::string_view, 2> diff_headings{"only in A:", "only in B:"};

// Prints the chosen views (a mask of `view`); each gets a heading when more
// than one is shown, and then an empty list shows as "(empty)".
void show(const index_vector &set, view_set views);

// Counts, range lists and members (name and if_index) as one JSON object.
void print_json(const index_vector &set);

// diff's two sides as one JSON object: "only_in_a" and "only_in_b", each
// what print_json prints for that set.
void print_json_diff(const index_vector &a_only, const index_vector &b_only);

// A record of --record: where it was found, num_if as stored, what
// disagrees, and the set its bits and slot hold.
struct shown_record {
    std::string file; // as given, "-" for standard input
    std::size_t number;
    std::uint64_t offset;
    std::uint32_t num_if;
    std::vector<std::string> problems;
    index_vector set;
};

// The records as one JSON array: for each, an object of where it was found
// ("file", "record", "offset"), "num_if" and "problems", then what
// print_json prints for its set.
void print_json(std::span<const shown_record> records);

} // namespace if_index_vec::cli
