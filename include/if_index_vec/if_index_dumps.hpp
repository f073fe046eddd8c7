// SPDX-License-Identifier: MIT
/*
 * if_index_dumps.hpp - the lines of the decimal and hex dumps read back.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec.  It sits on the
 * held types (<if_index_vec/if_index_types.hpp>) and the range lists of
 * <if_index_vec/if_index_ranges.hpp>, which it includes; the library itself
 * never includes it.  The readers are the inverses of
 * if_index_vector_printf_dec() and if_index_vector_printf_hex():
 *
 *   if_index_vec::count_line_reader  "No. of interfaces: 8"  -> sink(8)
 *   if_index_vec::dump_line_reader   "PHY_FC interfaces: 0-2,5"
 *                                    -> sink(row, 0, 2), sink(row, 5, 5)
 *   if_index_vec::hex_line_reader    "PORT_CHANNEL interfaces: 00e0..."
 *                                    -> sink(row, 0, 0x00), sink(row, 1, 0xe0), ...
 *
 * `row` is the line's entry of bitmap_types.  Each reader reads one line,
 * without its newline: feed() it the line's bytes in pieces of any size,
 * then finish() it at the end of the line.  What is read goes to the sink
 * as soon as it is complete, so memory stays the reader's own few bytes
 * however long the line, and a sink may be called before an error later in
 * the line is found.  The first error ends the reading: feed() and finish()
 * return it again from then on.  Offsets count from the line's first byte.
 *
 * A line is: blanks, its header without the trailing blank ("PHY_FC
 * interfaces:"), blanks, the body, blanks.  The dumps print one blank after
 * the colon and none elsewhere; the others are taken because editors add and
 * strip them.  Blanks are ' ', '\t', '\r' (so a CRLF line end reads), '\v'
 * and '\f'.  The bodies:
 *   count line  the member count in decimal, without sign or leading zero,
 *               at most 4294967295 (a record's count is far smaller)
 *   dump line   a range list (if_index_ranges.hpp), "" for an empty bitmap
 *   hex line    exactly capacity / 4 lowercase hex digits, two per bitmap
 *               byte, the first byte first, its high digit first
 * A body and a hex line's body of another kind never both read: a range list
 * holds ',' or '-', or is a number of at most 4 digits, and a hex line is at
 * least 64 digits.  So a caller who does not know which dump a line is from
 * feeds both readers, keeps the hex bytes aside until the line ends, and
 * takes the reader that succeeds.
 */
#ifndef IF_INDEX_VEC_IF_INDEX_DUMPS_HPP
#define IF_INDEX_VEC_IF_INDEX_DUMPS_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_dumps.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_vec/if_index_ranges.hpp>
#include <if_index_vec/if_index_types.hpp>

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace if_index_vec {

namespace text_detail {

[[nodiscard]] constexpr bool is_blank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

/* A lowercase hex digit's value, or -1. */
[[nodiscard]] constexpr int hex_value(char c) noexcept {
    return is_digit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

/* A header as a line starts with it: "PHY_FC interfaces:". */
[[nodiscard]] constexpr std::string_view bare(std::string_view header) noexcept {
    while (!header.empty() && header.back() == ' ')
        header.remove_suffix(1);
    return header;
}

/* The frame of a dump line: blanks, one of N headers, blanks, the body,
 * blanks.  It matches the header and hands the body on to the reader:
 * body(bytes, offset) for each stretch of it and end(offset) where it ends,
 * each returning the reader's error. */
template <std::size_t N>
class line_frame {
public:
    constexpr explicit line_frame(const std::array<std::string_view, N> &headers) noexcept
        : headers_(headers) {}

    template <class Body, class End>
    constexpr text_error feed(std::string_view piece, Body &body, End &end) {
        for (std::size_t i = 0; i < piece.size() && !error_;) {
            if (at_ == at::body) {
                i += body_stretch(piece.substr(i), body, end);
            } else if (at_ == at::gap && !is_blank(piece[i])) {
                at_ = at::body;
            } else {
                step(piece[i++]);
                ++offset_;
            }
        }
        return error_;
    }

    template <class End>
    constexpr text_error finish(End &end) {
        if (!error_ && (at_ == at::lead || at_ == at::header))
            error_ = {text_errc::no_header, offset_};
        else if (!error_ && at_ != at::tail)
            error_ = end(offset_);
        at_ = at::tail;
        return error_;
    }

    /* The index of the line's header, once it is read. */
    [[nodiscard]] constexpr std::size_t header() const noexcept { return header_; }

private:
    enum class at : unsigned char { lead, header, gap, body, tail };

    /* Hands on the body bytes that start `piece`, ending the body at a
     * blank; returns how many bytes were body. */
    template <class Body, class End>
    constexpr std::size_t body_stretch(std::string_view piece, Body &body, End &end) {
        std::size_t n = 0;
        while (n < piece.size() && !is_blank(piece[n]))
            ++n;
        if (n != 0)
            error_ = body(piece.substr(0, n), offset_);
        offset_ += n;
        if (n < piece.size() && !error_) {
            error_ = end(offset_);
            at_ = at::tail;
        }
        return n;
    }

    constexpr void step(char c) noexcept {
        if (at_ == at::lead && !is_blank(c))
            at_ = at::header;
        if (at_ == at::header)
            match(c);
        else if (at_ == at::tail && !is_blank(c))
            error_ = {text_errc::invalid_character, offset_};
    }

    /* The next byte of the header: the headers that still match keep their
     * bit, and one matched whole ends the header. */
    constexpr void match(char c) noexcept {
        unsigned left = 0;
        for (std::size_t h = 0; h < N; ++h)
            if ((candidates_ >> h & 1u) != 0 && matched_ < headers_[h].size() && headers_[h][matched_] == c)
                left |= 1u << h;
        candidates_ = left;
        ++matched_;
        if (left == 0)
            error_ = {text_errc::no_header, offset_};
        for (std::size_t h = 0; h < N; ++h)
            if ((left >> h & 1u) != 0 && headers_[h].size() == matched_) {
                header_ = h;
                at_ = at::gap;
            }
    }

    std::array<std::string_view, N> headers_;
    unsigned candidates_ = (1u << N) - 1;
    std::size_t matched_ = 0, header_ = 0, offset_ = 0;
    at at_ = at::lead;
    text_error error_;
};

/* The dump lines' headers as a line starts with them, in bitmap_types' order. */
using dump_header_array = std::array<std::string_view, bitmap_types.size()>;
[[nodiscard]] constexpr dump_header_array bare_dump_headers() noexcept {
    dump_header_array headers{};
    std::size_t i = 0;
    for (const bitmap_type &t : bitmap_types)
        headers[i++] = bare(t.dump_header);
    return headers;
}
inline constexpr dump_header_array dump_headers = bare_dump_headers();

} // namespace text_detail

/* Reads the dumps' first line, "No. of interfaces: N", and calls sink(N). */
class count_line_reader {
public:
    template <class Sink>
    requires std::invocable<Sink &, std::uint32_t>
    constexpr text_error feed(std::string_view piece, Sink &&sink) {
        auto body = [this](std::string_view b, std::size_t at) { return digits(b, at); };
        auto end = [&](std::size_t at) { return end_count(at, sink); };
        return frame_.feed(piece, body, end);
    }

    template <class Sink>
    requires std::invocable<Sink &, std::uint32_t>
    constexpr text_error finish(Sink &&sink) {
        auto end = [&](std::size_t at) { return end_count(at, sink); };
        return frame_.finish(end);
    }

private:
    constexpr text_error digits(std::string_view b, std::size_t at) noexcept {
        for (const char c : b) {
            if (!text_detail::is_digit(c))
                return {text_errc::invalid_character, at};
            if (digits_ == 1 && value_ == 0)
                return {text_errc::leading_zero, start_};
            if (digits_++ == 0)
                start_ = at;
            value_ = value_ * 10 + static_cast<std::uint64_t>(c - '0');
            if (value_ > UINT32_MAX) // returned before it can grow further
                return {text_errc::overflow, start_};
            ++at;
        }
        return {};
    }

    template <class Sink>
    constexpr text_error end_count(std::size_t at, Sink &sink) {
        if (digits_ == 0)
            return {text_errc::no_digits, at};
        sink(static_cast<std::uint32_t>(value_));
        return {};
    }

    text_detail::line_frame<1> frame_{{text_detail::bare(dump_count_header)}};
    std::uint64_t value_ = 0;
    std::size_t digits_ = 0, start_ = 0;
};

/* Reads a line of the decimal dump, "PHY_FC interfaces: 0-2,5", and calls
 * sink(row, lo, hi) for each run of its range list, in the text's order. */
class dump_line_reader {
public:
    template <class Sink>
    requires std::invocable<Sink &, const bitmap_type &, int, int>
    constexpr text_error feed(std::string_view piece, Sink &&sink) {
        auto body = [&](std::string_view b, std::size_t at) { return list_bytes(b, at, sink); };
        auto end = [&](std::size_t) { return list_end(sink); };
        return frame_.feed(piece, body, end);
    }

    template <class Sink>
    requires std::invocable<Sink &, const bitmap_type &, int, int>
    constexpr text_error finish(Sink &&sink) {
        auto end = [&](std::size_t) { return list_end(sink); };
        return frame_.finish(end);
    }

private:
    // cppcheck-suppress functionStatic ; the row of the header frame_ read
    [[nodiscard]] constexpr const bitmap_type &row() const noexcept { return bitmap_types[frame_.header()]; }

    template <class Sink>
    constexpr auto runs(Sink &sink) const {
        return [&sink, this](int lo, int hi) { sink(row(), lo, hi); };
    }

    /* The range list's offsets count from the start of the body. */
    [[nodiscard]] constexpr text_error at_line(text_error e) const noexcept {
        return e ? text_error{e.code, start_ + e.offset} : e;
    }

    template <class Sink>
    constexpr text_error list_bytes(std::string_view b, std::size_t at, Sink &sink) {
        if (!started_) {
            list_ = range_list_reader(row().capacity);
            start_ = at;
            started_ = true;
        }
        return at_line(list_.feed(b, runs(sink)));
    }

    template <class Sink>
    constexpr text_error list_end(Sink &sink) {
        if (!started_) // an empty bitmap's line
            return {};
        return at_line(list_.finish(runs(sink)));
    }

    text_detail::line_frame<bitmap_types.size()> frame_{text_detail::dump_headers};
    range_list_reader list_{0};
    std::size_t start_ = 0;
    bool started_ = false;
};

/* Reads a line of the hex dump, "PORT_CHANNEL interfaces: 00e0...", and
 * calls sink(row, i, bits) for each byte i of the bitmap, in order. */
class hex_line_reader {
public:
    template <class Sink>
    requires std::invocable<Sink &, const bitmap_type &, std::size_t, std::uint8_t>
    constexpr text_error feed(std::string_view piece, Sink &&sink) {
        auto body = [&](std::string_view b, std::size_t at) { return hex_bytes(b, at, sink); };
        auto end = [this](std::size_t at) { return hex_end(at); };
        return frame_.feed(piece, body, end);
    }

    template <class Sink>
    requires std::invocable<Sink &, const bitmap_type &, std::size_t, std::uint8_t>
    // cppcheck-suppress functionConst ; it ends frame_
    constexpr text_error finish(Sink && /*sink*/) {
        auto end = [this](std::size_t at) { return hex_end(at); };
        return frame_.finish(end);
    }

    /* The hex digits read so far. */
    [[nodiscard]] constexpr std::size_t digits() const noexcept { return digits_; }

private:
    // cppcheck-suppress functionStatic ; the row of the header frame_ read
    [[nodiscard]] constexpr const bitmap_type &row() const noexcept { return bitmap_types[frame_.header()]; }
    [[nodiscard]] constexpr std::size_t length() const noexcept {
        return static_cast<std::size_t>(row().capacity) / 4;
    }

    template <class Sink>
    constexpr text_error hex_bytes(std::string_view b, std::size_t at, Sink &sink) {
        for (const char c : b) {
            const int d = text_detail::hex_value(c);
            if (d < 0)
                return {text_errc::invalid_character, at};
            if (digits_ == length())
                return {text_errc::hex_digit_count, at};
            if (digits_ % 2 != 0)
                sink(row(), digits_ / 2, static_cast<std::uint8_t>(high_ << 4 | d));
            high_ = d;
            ++digits_;
            ++at;
        }
        return {};
    }

    [[nodiscard]] constexpr text_error hex_end(std::size_t at) const noexcept {
        return digits_ == length() ? text_error{} : text_error{text_errc::hex_digit_count, at};
    }

    text_detail::line_frame<bitmap_types.size()> frame_{text_detail::dump_headers};
    std::size_t digits_ = 0;
    int high_ = 0;
};

} // namespace if_index_vec

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_DUMPS_HPP */
