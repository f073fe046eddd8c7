// SPDX-License-Identifier: MIT
/*
 * if_index_text.hpp - the text forms of interface sets: range lists, names
 * and name ranges.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec.  It sits on the
 * held types (<if_index_vec/if_index_types.hpp>) and the codec adapter
 * (<if_index_vec/if_index_codec_adapter.hpp>), which it includes; the
 * library itself never includes it.  No function here expands a range into
 * its members:
 *
 *   if_index_vec::parse_range_list()  "0-2,5,7-8" -> runs (lo, hi) handed to a sink
 *   if_index_vec::range_list_reader   the same for a list read in pieces
 *   if_index_vec::format_range_list() ascending positions -> "0-2,5,7-8"
 *   if_index_vec::parse_if_index()    "16778240", "0x01000300" -> an if_index
 *   if_index_vec::check_storable()    whether a record can hold an if_index, and where
 *   if_index_vec::parse_name()        a name, through the caller's name parser
 *   if_index_vec::parse_name_range()  "fc1/1-4", "port-channel1-5": a run of one type
 */
#ifndef IF_INDEX_VEC_IF_INDEX_TEXT_HPP
#define IF_INDEX_VEC_IF_INDEX_TEXT_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_text.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_types.hpp>

#include <algorithm>
#include <optional>
#include <charconv>
#include <climits>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
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
 * leading_zero, overflow and the last two. */
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
        switch (at_) {
        case at::empty:
        case at::run:
        case at::dash:
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
            return;
        case at::first:
        case at::last:
            if (digit) {
                leading_zero_ = leading_zero_ || value_ == 0;
                if (value_ <= INT_MAX) // stays above INT_MAX once there: no wrap, however long the number
                    value_ = value_ * 10 + (c - '0');
                return;
            }
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
            return;
        }
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

/* Members named by a text: positions first..last of the bitmap of type code
 * `type`, or, for the single type, the one if_index (first = last =
 * no_position).  `if_index` is the first member's.  On error, `type` and
 * `if_index` are filled as far as they are known. */
struct named_members {
    text_error error;
    std::uint8_t type = no_type;
    int first = no_position;
    int last = no_position;
    std::uint32_t if_index = 0;
};

/* Whether a record can hold `if_index`, and where: the codec classifies it
 * as a held type, and for a bitmap type its position is below the capacity
 * and gives back the same if_index (which refuses a port past the last of
 * its slot: slot * 64 + port would fold it onto the next slot). */
[[nodiscard]] inline named_members check_storable(std::uint32_t if_index) noexcept {
    named_members m;
    m.type = classify(if_index).type;
    m.if_index = if_index;
    const bitmap_type *t = find_bitmap_type(m.type);
    const int p = position_of(m.type, if_index);
    if (m.type == single_type.code) {
        if (if_index == 0)
            m.error.code = text_errc::not_held;
    } else if (m.type == no_type) {
        m.error.code = text_errc::unclassified;
    } else if (t == nullptr) {
        m.error.code = text_errc::not_held;
    } else if (p >= t->capacity || if_index_at(m.type, p) != if_index) {
        m.error.code = text_errc::beyond_capacity;
    } else {
        m.first = m.last = p;
    }
    return m;
}

/* A name parser: parse(name, &if_index) returns true and writes the
 * if_index of the terminated `name`, or returns false.  The stand-in codec's
 * if_index_parse returns a status instead, so adapt it:
 *     [](const char *n, std::uint32_t *x) { return if_index_parse(n, x) == IF_INDEX_CODEC_OK; } */
template <class P>
concept name_parser = std::invocable<P &, const char *, std::uint32_t *> &&
                      std::same_as < std::invoke_result_t<P &, const char *, std::uint32_t *>,
bool > ;

/* The member named `name` (the whole text), checked as check_storable()
 * does.  A name longer than any codec name, or holding a NUL byte, is an
 * unknown name; nothing is allocated. */
template <name_parser P>
[[nodiscard]] named_members parse_name(std::string_view name, P &&parse) {
    char buf[name_buffer_size];
    std::uint32_t if_index = 0;
    if (name.size() >= sizeof buf || name.find('\0') != std::string_view::npos)
        return {{text_errc::unknown_name, 0}};
    *std::ranges::copy(name, buf).out = '\0';
    if (!std::invoke(parse, static_cast<const char *>(buf), &if_index))
        return {{text_errc::unknown_name, 0}};
    return check_storable(if_index);
}

/* A name, or a name range "NAME-N": the members from NAME through the name
 * that NAME becomes when its last number is replaced by N ("fc1/1-4" is
 * fc1/1 through fc1/4, "port-channel1-5" port-channel1 through
 * port-channel5).  Both ends go through the name parser; they must be of one
 * bitmap type, in order, and for the port types in one slot.  A text that
 * parses whole as a name is that name.  Errors about the second end are at
 * the offset of N. */
template <name_parser P>
[[nodiscard]] named_members parse_name_range(std::string_view text, P &&parse) {
    named_members whole = parse_name(text, parse);
    const std::size_t dash = text.rfind('-');
    if (whole.error.code != text_errc::unknown_name || dash == std::string_view::npos || dash == 0 ||
        !text_detail::is_digit(text[dash - 1]) || dash + 1 == text.size() ||
        !std::ranges::all_of(text.substr(dash + 1), text_detail::is_digit))
        return whole;
    named_members lo = parse_name(text.substr(0, dash), parse);
    if (lo.error)
        return lo;
    if (lo.type == single_type.code)
        return {{text_errc::single_range, dash + 1}, lo.type, no_position, no_position, lo.if_index};
    const std::size_t number = text.find_last_not_of("0123456789", dash - 1) + 1; // npos + 1 == 0
    const std::string_view n = text.substr(dash + 1);
    char buf[name_buffer_size];
    if (number + n.size() >= sizeof buf)
        return {{text_errc::unknown_name, dash + 1}, lo.type, lo.first, lo.last, lo.if_index};
    std::ranges::copy(n, std::ranges::copy(text.substr(0, number), buf).out);
    named_members hi = parse_name(std::string_view(buf, number + n.size()), parse);
    const auto fail = [&](text_errc e) {
        lo.error = {e, dash + 1};
        return lo;
    };
    if (hi.error)
        return fail(hi.error.code);
    if (hi.type != lo.type)
        return fail(text_errc::different_types);
    if (hi.first < lo.first)
        return fail(text_errc::reversed_range);
    if (find_bitmap_type(lo.type)->slot_port && slot_of(hi.first) != slot_of(lo.first))
        return fail(text_errc::crosses_slot);
    lo.last = hi.first;
    return lo;
}

/* ---- Names through the ten platform calls --------------------------------
 *
 * A platform's codec need not parse names: the ten calls build if_indexes
 * and print names, nothing more.  name_table holds the codec's name of every
 * position a record can store (6400 of them), built once from the
 * constructors and sprintf_if_index(), so that whatever the platform prints
 * reads back.  It is a name_parser, so name ranges ("fc1/1-4") work through
 * it too.  With the stand-in's names: 150 KB, built in 1.3 ms; the single
 * slot's if_indexes cannot be built by the ten calls and are not in it.
 */
class name_table {
public:
    /* A pair of storable positions that the codec gives the same name. */
    struct duplicate {
        std::uint32_t first, second;
    };

    name_table() {
        char buf[name_buffer_size];
        entries_.reserve(std::accumulate(
            bitmap_types.begin(), bitmap_types.end(), std::size_t{0},
            [](std::size_t n, const bitmap_type &t) { return n + static_cast<std::size_t>(t.capacity); }));
        for (const bitmap_type &t : bitmap_types)
            for (int p = 0; p < t.capacity; ++p) {
                const std::uint32_t x = if_index_at(t.code, p);
                const std::string_view name = name_into(buf, x);
                if (name.empty())
                    continue;
                entries_.push_back(
                    {static_cast<std::uint32_t>(names_.size()), static_cast<std::uint32_t>(name.size()), x});
                names_.append(name);
            }
        names_.shrink_to_fit();
        std::ranges::sort(entries_, {}, [this](const entry &e) { return name_of(e); });
        for (std::size_t i = 1; i < entries_.size(); ++i)
            if (name_of(entries_[i - 1]) == name_of(entries_[i]))
                duplicates_.push_back({entries_[i - 1].if_index, entries_[i].if_index});
    }

    /* The if_index named `name`; false when no storable position has that
     * name, or more than one has. */
    [[nodiscard]] bool find(std::string_view name, std::uint32_t *if_index) const {
        // std::, not std::ranges::equal_range: clang 14 cannot form the
        // latter's subrange over libstdc++ 12's iterators.
        struct by_name {
            const name_table *table;
            bool operator()(const entry &e, std::string_view n) const { return table->name_of(e) < n; }
            bool operator()(std::string_view n, const entry &e) const { return n < table->name_of(e); }
        };
        const auto [lo, hi] = std::equal_range(entries_.begin(), entries_.end(), name, by_name{this});
        if (hi - lo != 1)
            return false;
        *if_index = lo->if_index;
        return true;
    }
    bool operator()(const char *name, std::uint32_t *if_index) const { return find(name, if_index); }

    [[nodiscard]] std::size_t size() const noexcept { return entries_.size(); }
    [[nodiscard]] const std::vector<duplicate> &duplicates() const noexcept { return duplicates_; }

private:
    struct entry {
        std::uint32_t offset, length; /* of the name in names_ */
        std::uint32_t if_index;
    };
    [[nodiscard]] std::string_view name_of(const entry &e) const noexcept {
        return std::string_view(names_).substr(e.offset, e.length);
    }

    std::string names_;          /* every name, one after the other */
    std::vector<entry> entries_; /* sorted by name */
    std::vector<duplicate> duplicates_;
};
static_assert(name_parser<const name_table &>);

/* The names of a codec as a name_parser: those of the storable positions,
 * through a name_table built on the first lookup (so that reading no name
 * costs nothing), and, through `others` where the codec has such a parser
 * (the stand-in's if_index_parse), the names of types without a bitmap,
 * such as the single slot's, which no constructor builds.  A name that
 * `others` reads as a bitmap type's is unknown, as it is to the table: the
 * answers never depend on whether the codec parses names.  Copies share the
 * table. */
class codec_names {
public:
    using parser = bool (*)(const char *, std::uint32_t *);
    explicit codec_names(parser others = nullptr) : others_(others) {}

    bool operator()(const char *name, std::uint32_t *if_index) const {
        if (!table_->has_value())
            table_->emplace();
        if ((*table_)->find(name, if_index))
            return true;
        std::uint32_t x = 0;
        if (others_ == nullptr || !others_(name, &x) || find_bitmap_type(classify(x).type) != nullptr)
            return false;
        *if_index = x;
        return true;
    }

private:
    parser others_;
    std::shared_ptr<std::optional<name_table>> table_ = std::make_shared<std::optional<name_table>>();
};
static_assert(name_parser<const codec_names &>);

} // namespace if_index_vec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_TEXT_HPP */
