// SPDX-License-Identifier: MIT
// How ifvec cuts a set into items, and so which of a codec's names it can
// read back: ifvec's reader (ifvec/input.cpp) and if_index_codec_check both
// take the rule from here.
//
// A set is lines of items separated by blanks and commas.  An item that
// starts with a digit is an if_index, one that starts with a type keyword
// and ':' ("phy_fc:0-3") a range list, anything else a name or a name range.
// At the start of a line, a few texts begin a line of ifvec's own output
// instead: '{' (--format=json), and the heading "(empty)" among others that
// hold a blank or end in ':'.
#pragma once

#include "messages.hpp"

#include <if_index_vec/if_index_types.hpp>

#include <algorithm>
#include <string>
#include <string_view>

namespace if_index_vec::tools {

inline constexpr bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
inline constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline constexpr bool is_keyword_char(char c) { return (c >= 'a' && c <= 'z') || c == '_'; }

// A blank, a newline or a comma ends an item.
inline constexpr bool ends_item(char c) { return is_blank(c) || c == '\n' || c == ','; }

// How --format=json output starts, and what a list view prints for the
// empty set under a heading: read at the start of a line as such.
inline constexpr std::string_view json_start = "{";
inline constexpr std::string_view empty_mark = "(empty)";

// Why ifvec cannot read `name` back as an item, or "" when it can.
inline std::string unreadable(std::string_view name) {
    if (name.empty())
        return "it is empty";
    if (const auto at = static_cast<std::size_t>(std::ranges::find_if(name, ends_item) - name.begin());
        at < name.size())
        return "it holds " + shown(name.substr(at, 1)) + ", which ends an item";
    if (is_digit(name.front()))
        return "it starts with a digit, so it reads as an if_index";
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos && colon > 0 &&
                                                  std::ranges::all_of(name.substr(0, colon), is_keyword_char))
        return "it starts with a word and ':', so it reads as a range list";
    if (name.starts_with(json_start) || name == empty_mark)
        return "at the start of a line it reads as a line of ifvec's output";
    return "";
}

// A codec's name as a message shows it: as it is where ifvec reads it back,
// else quoted and escaped, so that no byte of it reaches the terminal raw.
inline std::string message_name(const std::string &name) {
    return unreadable(name).empty() ? name : shown(name);
}

// "fc1/1-4": the codec's names of positions 0 and 3 of `t` as a name range,
// or "" when they do not differ in their last number alone.
inline std::string name_range_example(const bitmap_type &t) {
    const std::string lo = name_at(t.code, 0), hi = name_at(t.code, 3);
    const std::size_t lo_num = lo.find_last_not_of("0123456789") + 1; // npos + 1 == 0
    const std::size_t hi_num = hi.find_last_not_of("0123456789") + 1;
    if (lo_num == lo.size() || hi_num == hi.size() || lo.compare(0, lo_num, hi, 0, hi_num) != 0 ||
        !unreadable(lo).empty() || !unreadable(hi).empty())
        return "";
    return lo + "-" + hi.substr(hi_num);
}

} // namespace if_index_vec::tools
