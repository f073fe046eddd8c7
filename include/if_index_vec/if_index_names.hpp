// SPDX-License-Identifier: MIT
/*
 * if_index_names.hpp - interface names and name ranges as text, through the
 * codec.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec.  It sits on the
 * held types (<if_index_vec/if_index_types.hpp>), the codec adapter
 * (<if_index_vec/if_index_codec_adapter.hpp>) and the errors of
 * <if_index_vec/if_index_ranges.hpp>, which it includes; the library itself
 * never includes it.
 *
 *   if_index_vec::check_storable()    whether a record can hold an if_index, and where
 *   if_index_vec::parse_name()        a name, through the caller's name parser
 *   if_index_vec::parse_name_range()  "fc1/1-4", "port-channel1-5": a run of one type
 *   if_index_vec::name_table          the codec's names of every storable position
 *   if_index_vec::codec_names         those, and the codec's own parser for the rest
 */
#ifndef IF_INDEX_VEC_IF_INDEX_NAMES_HPP
#define IF_INDEX_VEC_IF_INDEX_NAMES_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_names.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_ranges.hpp>
#include <if_index_vec/if_index_types.hpp>

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace if_index_vec {

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
#endif /* IF_INDEX_VEC_IF_INDEX_NAMES_HPP */
