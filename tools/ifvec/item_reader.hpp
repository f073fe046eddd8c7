// SPDX-License-Identifier: MIT
// ifvec: the grammar of a set, as ifvec reads it.
//
// A set is a stream of lines.  A line is either items, separated by blanks
// and commas, or a line of ifvec's own output, recognised by how it starts
// after any blanks:
//   "No. of interfaces: N"           the dumps' count line: N must be the
//                                    number of members of the whole set
//   "PHY_FC interfaces: 0-2,5"       a line of --ranges, or of --hex when it
//                                    holds exactly the bitmap's hex digits
//   "names:" ... "(empty)"           headings of several views, and diff's
//                                    "only in A:" and "only in B:": skipped
//   "counts:", "phy_fc   3" ...      the --counts view: refused, as it does
//                                    not name members (a row only when a
//                                    number alone follows the keyword)
//   "{"                              --format=json output: refused, as
//                                    the list views are the ones read back
// Blanks around such a line, or none after its colon, are allowed, as editors
// add and strip them.  The dumps' lines are read by the library's own readers
// (<if_index_vec/if_index_dumps.hpp>); items, range lists after "keyword:",
// headings and the refused views are ifvec's.
//
// Memory: besides the 64 KiB buffer of standard input, the reader holds the
// current item or line start up to `held_types` bytes (longer than any name);
// range lists and dump lines, whatever their length, go through the readers
// a piece at a time, and the bytes of a line that may be a hex dump line (at
// most 512) are held until its end shows whether it is one.  An error shows
// the text it is about, which the reader may first read on to the end of the
// item or line (at most 41 bytes).
#pragma once

#include "builder.hpp"
#include "errors.hpp"
#include "input.hpp"

#include <if_index_vec/if_index_text.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace if_index_vec::cli {

// The start of a line of ifvec's own output (output_lines.cpp).
struct line_head;

// Reads the items of one set from bytes given in pieces of any size:
// item_reader.cpp reads items and range lists, output_lines.cpp the lines of
// ifvec's own output.
class item_reader {
public:
    item_reader(std::string where, const name_parse_fn &parse, set_builder &into)
        : where_(std::move(where)), parse_(parse), into_(into) {}

    void feed(std::string_view bytes);
    // The end of the set.
    void finish();

private:
    enum class state : unsigned char {
        line_start, // blanks at the start of a line
        line_head,  // the start of a line that may be a line of ifvec's output
        between,    // between items
        item,       // an item other than a range list
        list,       // a range list, after its "keyword:"
        dump,       // a dump line, after its header
        count,      // a count line, after its header
        counts_row, // after a type keyword or "total" that starts a line
        heading,    // blanks after a view's heading
        context,    // after an error: reading on to the end of the text it shows
    };

    // A dump's count line, as read: its number, line and text.
    struct count_line {
        std::uint32_t count;
        std::size_t line_no;
        std::string text;
    };

    // ---- item_reader.cpp ----
    // Where the bytes from `i` that a range list or a dump line takes whole
    // end: a range list at a blank, a dump line at its newline.
    [[nodiscard]] std::size_t stretch_end(std::string_view bytes, std::size_t i) const;
    void step(char c);
    void at_line_start(char c);
    void at_line_head(char c);
    void at_between(char c);
    void at_item(char c);
    void at_list(char c);
    void at_context(char c);
    void newline();
    // The text an error or item is about: its bytes from its start, held up
    // to held_types, and its length.
    void begin_unit();
    void keep(std::string_view bytes);
    [[noreturn]] void bad(std::string_view text, const std::string &why) const;
    // An error about the text read so far, which goes on to the next blank
    // (`item`) or to the end of the line.
    void fail_on(std::string why, bool item);
    // Reports the error of fail_on() with the text read for it, less the CR
    // of a CRLF line end.
    [[noreturn]] void report();
    void comma();
    void accepted();
    void add_run(const bitmap_type &t, int lo, int hi);
    // The decimal reading's sink, and the runs it held once the line is not hex.
    std::function<void(const bitmap_type &, int, int)> dec_sink();
    void take_dec_runs();
    void begin_list();
    void list_bytes(std::string_view bytes);
    void end_list();
    void end_item();

    // The number of a count line.
    [[nodiscard]] auto count_sink() {
        return [this](std::uint32_t n) { count_ = n; };
    }

    void keep(char c) { keep(std::string_view(&c, 1)); }

    // A line of --counts after all: its keyword, blanks and a number.
    void refuse_counts_row() { fail_on(errors::counts_view(), false); }

    auto list_runs() {
        return [this](int lo, int hi) { add_run(*list_type_, lo, hi); };
    }

    // ---- output_lines.cpp ----
    void at_dump(char c);
    void at_count(char c);
    void at_counts_row(char c);
    void at_heading(char c);
    void match_head();
    // Reads the start of a line held in unit_ as items after all.
    void replay();
    void begin_line(const line_head &h);
    // A dump line is read as both dumps' until it ends: the decimal one's
    // runs go into the set as they come (one is complete only where the hex
    // reading has failed), the hex one's bytes are held until the end.
    void begin_dump(const bitmap_type &t);
    void dump_bytes(std::string_view bytes);
    void forward(std::string_view bytes);
    void end_dump();
    // A line of the hex dump followed by a stray byte is that byte's error;
    // any other line is the decimal dump's, with a word on the hex dump's
    // length when it held more hex digits than a position has.
    [[nodiscard]] std::string dump_error() const;
    void begin_count();
    // The end of a count line: its number is checked once the set is read.
    void end_count_line();
    // A dump's count line must agree with the members read, so that a
    // paste that lost lines is an error rather than a smaller set.
    void check_counts();

    std::string where_;
    const name_parse_fn &parse_;
    set_builder &into_;
    std::string unit_;
    std::string pending_; // the error being reported
    range_list_reader list_{0};
    dump_line_reader dec_;
    hex_line_reader hex_;
    text_error dec_error_, hex_error_;
    std::vector<std::uint8_t> hex_bytes_; // of the hex reading of a dump line
    // Runs of the decimal reading, held while the line may still be hex (at
    // most a hex line's length): a hex line's first digits can read as runs.
    std::vector<std::pair<int, int>> dec_runs_;
    count_line_reader count_reader_;
    const bitmap_type *list_type_ = nullptr;
    std::size_t line_no_ = 0;
    std::size_t unit_len_ = 0;
    std::size_t list_at_ = 0;        // offset of the range list in unit_
    int row_phase_ = 0;              // of "N" on a --counts row: before it, in it, after it
    std::uint32_t count_ = 0;        // N of the count line being read
    std::vector<count_line> counts_; // the first, and the first other number
    set_builder read_;               // the members read here, which the count lines count
    state state_ = state::line_start;
    bool fresh_line_ = true;
    bool after_item_ = false; // an item, and no comma after it, since the start
    bool comma_last_ = false; // the last thing read was a comma
    bool keyword_ = false;    // the item so far could be a type keyword
    bool until_blank_ = false;
};

} // namespace if_index_vec::cli
