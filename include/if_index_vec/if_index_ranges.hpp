// SPDX-License-Identifier: MIT
/*
 * if_index_ranges.hpp - range lists and if_index numbers as text, and the
 * errors of every text form.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec and needs no
 * codec.  The library itself never includes it.  No function here expands a
 * range into its members:
 *
 *   if_index_vec::text_errc, text_error  what is wrong with a text, and where
 *   if_index_vec::parse_range_list()  "0-2,5,7-8" -> runs (lo, hi) handed to a sink
 *   if_index_vec::range_list_reader   the same for a list read in pieces
 *   if_index_vec::format_range_list() ascending positions -> "0-2,5,7-8"
 *   if_index_vec::parse_if_index()    "16778240", "0x01000300" -> an if_index
 */
#ifndef IF_INDEX_VEC_IF_INDEX_RANGES_HPP
#define IF_INDEX_VEC_IF_INDEX_RANGES_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_ranges.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <algorithm>
#include <charconv>
#include <climits>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <ranges>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace if_index_vec {

/* ---- Text forms of sets ---------------------------------------------------
 *
 * A range list is the text the decimal dump prints for one bitmap: runs of
 * consecutive positions as "first-last", single positions alone, joined by
 * ',' without blanks; positions are decimal, without sign or leading zero.
 * Positions 0,1,2,5,7,8 give "0-2,5,7-8" and no position gives "".  The
 * parser takes exactly that grammar (runs in any order, overlaps allowed)
 * and reports each run to a sink as it stands, so its time and memory grow
 * with the length of the text, never with what the runs span.
 */

/* What is wrong with a text.  Range lists give the first seven, names and
 * name ranges the next six; if_index numbers give invalid_character,
 * leading_zero, overflow, no_digits and too_many_digits; the dumps' lines
 * (<if_index_vec/if_index_dumps.hpp>) those of their range lists and
 * numbers, and the last two. */
enum class text_errc : unsigned char {
    ok,
    invalid_character, /* a byte that cannot stand there */
    leading_zero,      /* a position written with a leading 0 */
    empty_item,        /* no run before or after a ',' */
    missing_position,  /* a '-' with no position after it */
    reversed_range,    /* a run whose last position is below its first */
    beyond_capacity,   /* a position at or beyond its type's capacity, or a
                          port past the last of its slot */
    overflow,          /* a number too large for any position */
    unknown_name,      /* the name parser refused the name */
    unclassified,      /* the codec gives the if_index no type */
    not_held,          /* a type the record has no storage for (or a 0 of the single type) */
    single_range,      /* a name range of the single type, which has no positions */
    different_types,   /* the two ends of a name range are of different types */
    crosses_slot,      /* the two ends of a port name range lie in different slots */
    no_digits,         /* an if_index without digits: "" or "0x" */
    too_many_digits,   /* an if_index of more than 8 hex digits */
    no_header,         /* a line that does not start with a dump's header */
    hex_digit_count,   /* a hex dump line without its bitmap's number of digits */
};

/* A short description of `e`, such as "empty item". */
[[nodiscard]] constexpr std::string_view describe(text_errc e) noexcept {
    switch (e) {
    case text_errc::ok: return "ok";
    case text_errc::invalid_character: return "unexpected character";
    case text_errc::leading_zero: return "leading zero";
    case text_errc::empty_item: return "empty item";
    case text_errc::missing_position: return "range without its last position";
    case text_errc::reversed_range: return "reversed range";
    case text_errc::beyond_capacity: return "beyond the capacity of its type";
    case text_errc::overflow: return "number too large";
    case text_errc::unknown_name: return "unknown interface name";
    case text_errc::unclassified: return "not an if_index the codec can classify";
    case text_errc::not_held: return "type not held in a vector";
    case text_errc::single_range: return "the single type has no ranges";
    case text_errc::different_types: return "range ends of different types";
    case text_errc::crosses_slot: return "range ends in different slots";
    case text_errc::no_digits: return "no digits";
    case text_errc::too_many_digits: return "more than 8 hex digits";
    case text_errc::no_header: return "not a dump line";
    case text_errc::hex_digit_count: return "wrong number of hex digits";
    }
    return "unknown error";
}

/* An error and the byte offset in the text where it was found: the start of
 * the offending number or name end, the offending byte, or where a missing
 * item or position should be.  Converts to true when there is an error. */
struct text_error {
    text_errc code = text_errc::ok;
    std::size_t offset = 0;
    explicit constexpr operator bool() const noexcept { return code != text_errc::ok; }
    friend constexpr bool operator==(const text_error &, const text_error &) noexcept = default;
};

namespace text_detail {
[[nodiscard]] constexpr bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }
} // namespace text_detail

/* Reads a range list that arrives in pieces, such as a list too long to
 * hold: feed() each piece in order, then finish() at the end of the text.
 * Each run goes to the sink as soon as it is complete, so a run may be
 * handed over before an error later in the text is found.  The first error
 * ends the reading: feed() and finish() return it again from then on.
 * Offsets count from the start of the first piece. */
class range_list_reader {
public:
    constexpr explicit range_list_reader(int capacity) noexcept : capacity_(capacity) {}

    template <class Sink>
    requires std::invocable<Sink &, int, int>
    constexpr text_error feed(std::string_view piece, Sink &&sink) {
        for (const char c : piece) {
            if (error_)
                break;
            step(c, sink);
            ++offset_;
        }
        return error_;
    }

    template <class Sink>
    requires std::invocable<Sink &, int, int>
    constexpr text_error finish(Sink &&sink) {
        if (!error_ && at_ != at::empty)
            step('\0', sink, true);
        if (!error_)
            at_ = at::empty; // a second finish() reads no empty item
        return error_;
    }

private:
    /* Where the reader stands: before any byte, at the start of a run, in
     * its first number, after its '-', in its last number. */
    enum class at : unsigned char { empty, run, first, dash, last };

    template <class Sink>
    constexpr void step(char c, Sink &sink, bool end = false) {
        const bool digit = !end && text_detail::is_digit(c);
        if (at_ == at::first || at_ == at::last) {
            if (digit)
                return next_digit(c);
            return end_number(c, sink, end);
        }
        if (digit) {
            start_ = offset_;
            value_ = c - '0';
            leading_zero_ = false;
            at_ = at_ == at::dash ? at::last : at::first;
        } else if (at_ == at::dash) {
            fail(end || c == ',' ? text_errc::missing_position : text_errc::invalid_character, offset_);
        } else {
            fail(end || c == ',' ? text_errc::empty_item : text_errc::invalid_character, offset_);
        }
    }

    constexpr void next_digit(char c) noexcept {
        leading_zero_ = leading_zero_ || value_ == 0;
        if (value_ <= INT_MAX) // stays above INT_MAX once there: no wrap, however long the number
            value_ = value_ * 10 + (c - '0');
    }

    /* The byte `c` after a number, or the end of the text. */
    template <class Sink>
    constexpr void end_number(char c, Sink &sink, bool end) {
        if (const text_errc e = leading_zero_         ? text_errc::leading_zero
                                : value_ > INT_MAX    ? text_errc::overflow
                                : value_ >= capacity_ ? text_errc::beyond_capacity
                                                      : text_errc::ok;
            e != text_errc::ok)
            return fail(e, start_);
        if (at_ == at::first) {
            lo_ = static_cast<int>(value_);
            if (!end && c == '-') {
                at_ = at::dash;
                return;
            }
        } else if (value_ < lo_) {
            return fail(text_errc::reversed_range, start_);
        }
        sink(lo_, static_cast<int>(value_));
        at_ = at::run;
        if (!end && c != ',')
            fail(text_errc::invalid_character, offset_);
    }

    constexpr void fail(text_errc e, std::size_t offset) noexcept { error_ = {e, offset}; }

    int capacity_;
    at at_ = at::empty;
    bool leading_zero_ = false;
    int lo_ = 0;
    long long value_ = 0;
    std::size_t offset_ = 0, start_ = 0;
    text_error error_;
};

/* Parses the range list `text` of a type with `capacity` positions and calls
 * sink(lo, hi) for each run, in the text's order (a lone position as
 * lo == hi).  The whole text is checked first: on error the sink is never
 * called.  "" is the empty list. */
template <class Sink>
requires std::invocable<Sink &, int, int>
[[nodiscard]] constexpr text_error parse_range_list(std::string_view text, int capacity, Sink &&sink) {
    auto check_only = [](int, int) noexcept {};
    range_list_reader check(capacity);
    (void)check.feed(text, check_only);
    if (const text_error e = check.finish(check_only))
        return e;
    range_list_reader read(capacity);
    (void)read.feed(text, sink);
    return read.finish(sink);
}

/* The same, appending the positions to `out` in ascending order, each once.
 * `out` grows by every position the runs span: for untrusted text, give a
 * sink instead.  `out` is unchanged on error. */
[[nodiscard]] inline text_error parse_range_list(std::string_view text, int capacity, std::vector<int> &out) {
    std::vector<std::pair<int, int>> runs;
    if (const text_error e =
            parse_range_list(text, capacity, [&](int lo, int hi) { runs.emplace_back(lo, hi); }))
        return e;
    std::ranges::sort(runs);
    int next = 0; // every position below `next` is in `out` already
    for (const auto &[lo, hi] : runs) {
        for (int p = std::max(lo, next); p <= hi; ++p)
            out.push_back(p);
        next = std::max(next, hi + 1);
    }
    return {};
}

/* The range list of `ascending` positions, exactly as the decimal dump
 * prints one bitmap: 0,1,2,5,7,8 give "0-2,5,7-8".  A position repeated
 * next to itself is listed once; positions out of order give runs out of
 * order. */
template <std::ranges::input_range R>
requires std::convertible_to < std::ranges::range_reference_t<R>,
int > [[nodiscard]] std::string format_range_list(R &&ascending) {
    std::string out;
    const auto append = [&out](int n) {
        char digits[16];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    };
    const auto close_run = [&](int lo, int hi) {
        if (!out.empty())
            out += ',';
        append(lo);
        if (hi != lo) {
            out += '-';
            append(hi);
        }
    };
    bool open = false;
    int lo = 0, hi = 0;
    for (const int p : ascending) {
        if (open && (p == hi || static_cast<long long>(p) == hi + 1LL)) {
            hi = p;
            continue;
        }
        if (open)
            close_run(lo, hi);
        lo = hi = p;
        open = true;
    }
    if (open)
        close_run(lo, hi);
    return out;
}

/* An if_index written as a number: decimal without sign or leading zero
 * ("16778240", at most 4294967295), or "0x" or "0X" and 1 to 8 hex digits of
 * either case ("0x01000300").  Nothing else is taken: no blanks, no sign, no
 * "007", no ninth hex digit even if it is a leading 0.  The text is read
 * left to right and the first fault found is the error, so a number's error
 * is always found within its first 11 bytes.  `value` is written only when
 * the result is ok. */
[[nodiscard]] constexpr text_error parse_if_index(std::string_view text, std::uint32_t &value) noexcept {
    constexpr std::size_t max_hex_digits = 8;
    std::uint64_t v = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() == 2)
            return {text_errc::no_digits, 2};
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            const int d = text_detail::is_digit(c) ? c - '0'
                          : c >= 'a' && c <= 'f'   ? c - 'a' + 10
                          : c >= 'A' && c <= 'F'   ? c - 'A' + 10
                                                   : -1;
            if (d < 0)
                return {text_errc::invalid_character, i};
            if (i - 2 == max_hex_digits)
                return {text_errc::too_many_digits, 2};
            v = v * 16 + static_cast<std::uint64_t>(d);
        }
    } else {
        if (text.empty())
            return {text_errc::no_digits, 0};
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!text_detail::is_digit(text[i]))
                return {text_errc::invalid_character, i};
            if (i == 1 && text[0] == '0')
                return {text_errc::leading_zero, 0};
            v = v * 10 + static_cast<std::uint64_t>(text[i] - '0');
            if (v > UINT32_MAX)
                return {text_errc::overflow, 0};
        }
    }
    value = static_cast<std::uint32_t>(v);
    return {};
}
} // namespace if_index_vec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_RANGES_HPP */
