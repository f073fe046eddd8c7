// SPDX-License-Identifier: MIT
/*
 * if_index_vector.hpp - header-only C++20 interface to libif_index_vec.
 *
 * if_index_vec::index_vector owns one if_index_vector_t by value: no heap use, no
 * destructor logic, and every operation is a call of the C functions of
 * <if_index_vec/if_index_vector.h> (one call each, but for to_string(), which
 * walks the record and asks the codec for each name), so C and C++ callers
 * always agree on what a vector holds.  CMake target:
 * if_index_vec::if_index_vec_cpp.
 *
 *   if_index_vec::index_vector v;                       // empty
 *   if (v.insert(fc) != if_index_vec::status::ok) ...   // statuses are [[nodiscard]]
 *   for (std::uint32_t ifx : v) ...             // canonical order, single slot last
 *   v |= other;                                  // if_index_vector_union
 *   if_index_vector_printf(v.c_ptr());           // hand the record to C code
 *
 * Set operators keep the C semantics: |=, &= and -= combine the four bitmaps
 * and leave the left operand's single slot as it was, whatever the right
 * operand holds, so a | b and b | a differ when their single slots differ.
 * == is if_index_vector_is_equal(): it compares the stored member counts too.
 *
 * Iterators read the record as it is when they advance; any change to the
 * vector invalidates them.  Thread safety is that of the C functions.
 */
#ifndef IF_INDEX_VEC_IF_INDEX_VECTOR_HPP
#define IF_INDEX_VEC_IF_INDEX_VECTOR_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_vector.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <ranges>
#include <string>

namespace if_index_vec {

/* A status returned by the C functions.  add and remove hand back the
 * codec's classification status for held types; a platform codec's non-zero
 * statuses keep their value (compare with status_value()). */
enum class status : std::uint32_t {
    ok = IF_INDEX_VECTOR_OK,
    empty = IF_INDEX_VECTOR_EMPTY,
    end = IF_INDEX_VECTOR_END,
    bad_type = IF_INDEX_VECTOR_BAD_TYPE
};

[[nodiscard]] constexpr std::uint32_t status_value(status s) noexcept {
    return static_cast<std::uint32_t>(s);
}

/* Type codes the record holds. */
enum class if_type : std::uint32_t {
    phy_fc = IF_TYPE_PHY_FC,
    port_channel = IF_TYPE_PORT_CHANNEL,
    iscsi = IF_TYPE_ISCSI,
    fc_tunnel = IF_TYPE_FC_TUNNEL,
    single = IF_TYPE_SINGLE
};

class index_vector {
public:
    class iterator;
    using value_type = std::uint32_t;
    using size_type = std::uint32_t;

    /* An empty vector. */
    index_vector() noexcept { if_index_vector_init(&rec_); }

    /* A copy of a C record, all 824 bytes. */
    explicit index_vector(const if_index_vector_t &rec) noexcept { if_index_vector_copy(&rec_, &rec); }

    index_vector(const index_vector &o) noexcept { if_index_vector_copy(&rec_, &o.rec_); }
    index_vector &operator=(const index_vector &o) noexcept {
        if (this != &o)
            if_index_vector_copy(&rec_, &o.rec_);
        return *this;
    }
    ~index_vector() = default;

    /* Membership: if_index_vector_add / _remove / _is_present. */
    [[nodiscard]] status insert(std::uint32_t if_index) noexcept {
        return static_cast<status>(if_index_vector_add(&rec_, if_index));
    }
    [[nodiscard]] status erase(std::uint32_t if_index) noexcept {
        return static_cast<status>(if_index_vector_remove(&rec_, if_index));
    }
    [[nodiscard]] bool contains(std::uint32_t if_index) const noexcept {
        return if_index_vector_is_present(&rec_, if_index) != 0;
    }

    /* The stored member count, and the count of one type. */
    [[nodiscard]] size_type size() const noexcept { return if_index_vector_num_if(&rec_); }
    [[nodiscard]] bool empty() const noexcept { return size() == 0; }
    [[nodiscard]] size_type count(if_type t) const noexcept {
        return if_index_vector_num_if_type(&rec_, static_cast<std::uint32_t>(t));
    }

    /* Set algebra on the bitmaps; this vector keeps its own single slot. */
    index_vector &operator|=(const index_vector &o) noexcept {
        if_index_vector_union(&rec_, &o.rec_);
        return *this;
    }
    index_vector &operator&=(const index_vector &o) noexcept {
        if_index_vector_intersection(&rec_, &o.rec_);
        return *this;
    }
    index_vector &operator-=(const index_vector &o) noexcept {
        if_index_vector_subtract(&rec_, &o.rec_);
        return *this;
    }
    /* Built from the compound forms: the result keeps a's single slot. */
    friend index_vector operator|(index_vector a, const index_vector &b) noexcept { return a |= b; }
    friend index_vector operator&(index_vector a, const index_vector &b) noexcept { return a &= b; }
    friend index_vector operator-(index_vector a, const index_vector &b) noexcept { return a -= b; }
    friend bool operator==(const index_vector &a, const index_vector &b) noexcept {
        return if_index_vector_is_equal(&a.rec_, &b.rec_) != 0;
    }

    /* Every member in canonical order, the single-slot member last. */
    [[nodiscard]] iterator begin() const noexcept;
    // NOLINTNEXTLINE(readability-convert-member-functions-to-static): a range's end
    [[nodiscard]] std::default_sentinel_t end() const noexcept { return {}; }

    /* The members by name, as if_index_vector_printf() prints them: one line
     * per type with members, names joined by ", ", the single slot last. */
    [[nodiscard]] std::string to_string() const;

    /* The raw record, for C code. */
    [[nodiscard]] if_index_vector_t &raw() noexcept { return rec_; }
    [[nodiscard]] const if_index_vector_t &raw() const noexcept { return rec_; }
    [[nodiscard]] if_index_vector_t *c_ptr() noexcept { return &rec_; }
    [[nodiscard]] const if_index_vector_t *c_ptr() const noexcept { return &rec_; }

private:
    if_index_vector_t rec_;
};

/*
 * An input iterator over the C cursor walk.  itr_begin/itr_incr hand out the
 * bitmap members; when the bitmaps run out, itr_incr returns END and leaves
 * the single-slot member in the cursor, or leaves the cursor untouched when
 * the slot is empty.  So an END that changed the cursor yields one more
 * member, and an END that did not is the end of the walk.  A single-slot
 * member handed out by itr_begin (all bitmaps empty) ends the same way.
 */
class index_vector::iterator {
public:
    using iterator_concept = std::input_iterator_tag;
    using iterator_category = std::input_iterator_tag;
    using value_type = std::uint32_t;
    using difference_type = std::ptrdiff_t;
    using reference = std::uint32_t;
    using pointer = void;

    iterator() noexcept = default;

    [[nodiscard]] std::uint32_t operator*() const noexcept { return cursor_; }

    iterator &operator++() noexcept {
        if (state_ == state::last) {
            state_ = state::done;
            return *this;
        }
        const std::uint32_t before = cursor_;
        if (if_index_vector_itr_incr(rec_, &cursor_) != IF_INDEX_VECTOR_OK)
            state_ = cursor_ != before ? state::last : state::done;
        return *this;
    }
    iterator operator++(int) noexcept {
        iterator old = *this;
        ++*this;
        return old;
    }

    friend bool operator==(const iterator &it, std::default_sentinel_t /*end*/) noexcept {
        return it.state_ == state::done;
    }

private:
    friend class index_vector;
    enum class state : unsigned char { walking, last, done };

    explicit iterator(const if_index_vector_t *rec) noexcept : rec_(rec) {
        if (if_index_vector_itr_begin(rec_, &cursor_) == IF_INDEX_VECTOR_OK)
            state_ = state::walking;
    }

    const if_index_vector_t *rec_ = nullptr;
    std::uint32_t cursor_ = 0;
    state state_ = state::done;
};

inline index_vector::iterator index_vector::begin() const noexcept { return iterator(&rec_); }

inline std::string index_vector::to_string() const {
    std::string out;
    char name[name_buffer_size];
    int line_type = -1; // type code of the line being built; -1 before the first member
    for (iterator it = begin(); it != end(); ++it) {
        const int type = classify(*it).type;
        // Members of one bitmap share a line; the single-slot member, handed
        // out last, always gets a line of its own.
        if (line_type != -1)
            out += (type == line_type && it.state_ != iterator::state::last) ? ", " : "\n";
        line_type = type;
        out += name_into(name, *it);
    }
    if (line_type != -1)
        out += '\n';
    return out;
}

static_assert(std::input_iterator<index_vector::iterator>);
static_assert(std::sentinel_for<std::default_sentinel_t, index_vector::iterator>);
static_assert(std::ranges::input_range<const index_vector>);

} // namespace if_index_vec

/* The old namespace's types by name, so that GCC too warns where they are
 * named (it warns of the namespace only where a function is named). */
namespace ifvec {
#define IF_INDEX_VEC_OLD_NAME_ [[deprecated("the C++ namespace is now if_index_vec")]]
using index_vector IF_INDEX_VEC_OLD_NAME_ = ::if_index_vec::index_vector;
using status IF_INDEX_VEC_OLD_NAME_ = ::if_index_vec::status;
using if_type IF_INDEX_VEC_OLD_NAME_ = ::if_index_vec::if_type;
#undef IF_INDEX_VEC_OLD_NAME_
} // namespace ifvec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_VECTOR_HPP */
