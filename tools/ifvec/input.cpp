// SPDX-License-Identifier: MIT
// ifvec: reading sets.
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
#include "input.hpp"

#include "common.hpp"
#include "errors.hpp"
#include "views.hpp"

#include "codec_parse.hpp"
#include "item_grammar.hpp"
#include "messages.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

namespace if_index_vec::cli {

name_parse_fn codec_name_parser() {
    static const tools::codec_parse_fn parse = tools::codec_parse();
    if (parse == nullptr)
        return codec_names();
    // Status 0 is success, as for every call of the codec.
    return codec_names([](const char *name, std::uint32_t *if_index) { return parse(name, if_index) == 0; });
}

namespace {

constexpr std::size_t held_types = 2 * name_buffer_size;

using tools::ends_item;
using tools::is_blank;
using tools::is_digit;
using tools::is_keyword_char;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The starts of lines of ifvec's own output.
struct line_head {
    enum class kind : unsigned char { count_line, dump_line, heading, counts_view, counts_row, json_view };
    kind what;
    std::string text;
    const bitmap_type *type = nullptr;
};

const std::vector<line_head> &line_heads() {
    using enum line_head::kind;
    static const std::vector<line_head> heads = [] {
        std::vector<line_head> h{{count_line, std::string(trimmed(dump_count_header))},
                                 {heading, std::string(tools::empty_mark)},
                                 {counts_row, std::string(single_type.keyword) + " "},
                                 {counts_row, "total "},
                                 {json_view, std::string(tools::json_start)}};
        std::ranges::transform(diff_headings, std::back_inserter(h),
                               [](std::string_view d) { return line_head{heading, std::string(d)}; });
        for (const bitmap_type &t : bitmap_types) {
            h.push_back({dump_line, std::string(trimmed(t.dump_header)), &t});
            h.push_back({counts_row, std::string(t.keyword) + " "});
        }
        std::ranges::transform(all_views, std::back_inserter(h), [](const view_info &v) {
            return line_head{v.reads_back ? heading : counts_view, std::string(v.heading) + ":"};
        });
        return h;
    }();
    return heads;
}

// A dump's count line, as read: its number, line and text.
struct count_line {
    std::uint32_t count;
    std::size_t line_no;
    std::string text;
};

// Reads the items of one set from bytes given in pieces of any size.
class item_reader {
public:
    item_reader(std::string where, const name_parse_fn &parse, set_builder &into)
        : where_(std::move(where)), parse_(parse), into_(into) {}

    void feed(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t end = stretch_end(bytes, i);
            if (end == i) {
                step(bytes[i++]);
            } else if (state_ == state::list) {
                list_bytes(bytes.substr(i, end - i));
                i = end;
            } else {
                dump_bytes(bytes.substr(i, end - i));
                i = end;
            }
        }
    }

    // The end of the set.
    void finish() {
        switch (state_) {
        case state::line_head: replay(); return finish();
        case state::item: end_item(); break;
        case state::list: end_list(); break;
        case state::dump: end_dump(); break;
        case state::count: end_count_line(); break;
        case state::counts_row:
            if (row_phase_ == 0) {
                replay();
                return finish();
            }
            refuse_counts_row();
            report();
        case state::context: report();
        default: break;
        }
        if (comma_last_)
            bad(",", errors::empty_item());
        check_counts();
    }

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

    // Where the bytes from `i` that a range list or a dump line takes whole
    // end: a range list at a blank, a dump line at its newline.
    [[nodiscard]] std::size_t stretch_end(std::string_view bytes, std::size_t i) const {
        if (state_ != state::list && state_ != state::dump)
            return i;
        while (i < bytes.size() && bytes[i] != '\n' && (state_ == state::dump || !is_blank(bytes[i])))
            ++i;
        return i;
    }

    void step(char c) {
        if (fresh_line_) {
            ++line_no_;
            fresh_line_ = false;
        }
        switch (state_) {
        case state::line_start: return at_line_start(c);
        case state::line_head: return at_line_head(c);
        case state::between: return at_between(c);
        case state::item: return at_item(c);
        case state::list: return at_list(c);
        case state::dump: return at_dump(c);
        case state::count: return at_count(c);
        case state::counts_row: return at_counts_row(c);
        case state::heading: return at_heading(c);
        case state::context: return at_context(c);
        }
    }

    // ---- one step of each state ----

    // The number of a count line.
    [[nodiscard]] auto count_sink() {
        return [this](std::uint32_t n) { count_ = n; };
    }

    void at_line_start(char c) {
        if (is_blank(c))
            return;
        if (c == '\n')
            return newline();
        begin_unit();
        state_ = state::line_head;
        at_line_head(c);
    }

    void at_line_head(char c) {
        if (c == '\n')
            return replay(), step(c);
        keep(c);
        match_head();
    }

    void at_between(char c) {
        if (is_blank(c))
            return;
        if (c == '\n')
            return newline();
        if (c == ',')
            return comma();
        begin_unit();
        state_ = state::item;
        keyword_ = true;
        at_item(c);
    }

    void at_item(char c) {
        if (ends_item(c)) {
            end_item();
            state_ = state::between;
            return c == '\n' ? newline() : c == ',' ? comma() : void();
        }
        keep(c);
        if (c == ':' && keyword_ && unit_len_ > 1)
            return begin_list();
        keyword_ = keyword_ && is_keyword_char(c);
    }

    void at_list(char c) {
        end_list();
        state_ = state::between;
        if (c == '\n')
            newline();
    }

    void at_dump(char c) {
        end_dump();
        newline();
        (void)c; // the newline: every other byte goes to dump_bytes
    }

    void at_count(char c) {
        if (c == '\n')
            return end_count_line(), newline();
        keep(c);
        if (count_reader_.feed({&c, 1}, count_sink()))
            fail_on(errors::count_line(), false);
    }

    void at_counts_row(char c) { // "phy_fc        3": blanks, a number, blanks
        if (c == '\n' && row_phase_ == 0)
            return replay(), step(c);
        if (c == '\n') {
            refuse_counts_row();
            report();
        }
        keep(c);
        if (is_digit(c) && row_phase_ < 2)
            row_phase_ = 1;
        else if (is_blank(c) && row_phase_ == 1)
            row_phase_ = 2;
        else if (!is_blank(c)) // not a row of --counts after all
            replay();
    }

    void at_heading(char c) {
        if (c == '\n')
            return newline();
        keep(c);
        if (!is_blank(c)) // not a heading after all
            replay();
    }

    void at_context(char c) {
        if (c == '\n' || (until_blank_ && is_blank(c)))
            report();
        keep(c);
        if (unit_.size() > tools::shown_bytes)
            bad(unit_, pending_);
    }

    void newline() {
        state_ = state::line_start;
        fresh_line_ = true;
    }

    // The text an error or item is about: its bytes from its start, held up
    // to held_types, and its length.
    void begin_unit() {
        unit_.clear();
        unit_len_ = 0;
    }
    void keep(char c) { keep(std::string_view(&c, 1)); }
    void keep(std::string_view bytes) {
        unit_.append(bytes.substr(0, held_types - std::min(held_types, unit_.size())));
        unit_len_ += bytes.size();
    }

    [[noreturn]] void bad(std::string_view text, const std::string &why) const {
        fail(errors::located(where_, line_no_, text, why));
    }

    // An error about the text read so far, which goes on to the next blank
    // (`item`) or to the end of the line.
    void fail_on(std::string why, bool item) {
        pending_ = std::move(why);
        until_blank_ = item;
        state_ = state::context;
    }

    // Reports the error of fail_on() with the text read for it, less the CR
    // of a CRLF line end.
    [[noreturn]] void report() {
        if (!until_blank_ && unit_.ends_with('\r'))
            unit_.pop_back();
        bad(unit_, pending_);
    }

    void comma() {
        if (!after_item_) {
            begin_unit();
            keep(',');
            return fail_on(errors::empty_item(), false);
        }
        after_item_ = false;
        comma_last_ = true;
    }

    void accepted() {
        after_item_ = true;
        comma_last_ = false;
    }

    void add_run(const bitmap_type &t, int lo, int hi) {
        into_.add_run(t, lo, hi);
        read_.add_run(t, lo, hi);
    }

    // ---- lines of ifvec's output ----

    void match_head() {
        bool prefix = false;
        for (const line_head &h : line_heads()) {
            if (h.text == unit_)
                return begin_line(h);
            prefix = prefix || std::string_view(h.text).starts_with(unit_);
        }
        if (!prefix)
            replay();
    }

    // Reads the start of a line held in unit_ as items after all.
    void replay() {
        const std::string held = unit_;
        state_ = state::between;
        for (const char c : held)
            step(c);
    }

    void begin_line(const line_head &h) {
        switch (h.what) {
        case line_head::kind::count_line: return begin_count();
        case line_head::kind::heading: state_ = state::heading; return;
        case line_head::kind::counts_view: return refuse_counts_row();
        case line_head::kind::counts_row:
            row_phase_ = 0;
            state_ = state::counts_row;
            return;
        case line_head::kind::json_view: return fail_on(errors::json_view(), false);
        case line_head::kind::dump_line: return begin_dump(*h.type);
        }
    }

    // A line of --counts after all: its keyword, blanks and a number.
    void refuse_counts_row() { fail_on(errors::counts_view(), false); }

    // ---- dump lines ----

    // A dump line is read as both dumps' until it ends: the decimal one's
    // runs go into the set as they come (one is complete only where the hex
    // reading has failed), the hex one's bytes are held until the end.
    void begin_dump(const bitmap_type &t) {
        list_type_ = &t;
        dec_ = dump_line_reader();
        hex_ = hex_line_reader();
        dec_error_ = hex_error_ = {};
        hex_bytes_.clear();
        state_ = state::dump;
        forward(unit_); // the header: the readers' offsets are unit_'s
    }

    void dump_bytes(std::string_view bytes) {
        keep(bytes);
        forward(bytes);
    }

    void forward(std::string_view bytes) {
        const auto held = [this](const bitmap_type &, std::size_t, std::uint8_t bits) { hex_bytes_.push_back(bits); };
        if (!hex_error_)
            hex_error_ = hex_.feed(bytes, held);
        if (!dec_error_)
            dec_error_ = dec_.feed(bytes, [this](const bitmap_type &t, int lo, int hi) { add_run(t, lo, hi); });
        if (dec_error_ && hex_error_)
            fail_on(dump_error(), false);
    }

    void end_dump() {
        if (!hex_error_)
            hex_error_ = hex_.finish([](const bitmap_type &, std::size_t, std::uint8_t) {});
        if (!hex_error_) {
            for (std::size_t i = 0; i < hex_bytes_.size(); ++i)
                for (set_builder *b : {&into_, &read_})
                    b->add_byte(*list_type_, i, hex_bytes_[i]);
        } else if (!dec_error_) {
            dec_error_ = dec_.finish([this](const bitmap_type &t, int lo, int hi) { add_run(t, lo, hi); });
        }
        if (hex_error_ && dec_error_) {
            fail_on(dump_error(), false);
            report();
        }
        accepted();
    }

    // A line of the hex dump followed by a stray byte is that byte's error;
    // any other line is the decimal dump's, with a word on the hex dump's
    // length when it held more hex digits than a position has.
    [[nodiscard]] std::string dump_error() const {
        constexpr std::size_t longest_position = 4; // digits: more can only be a hex dump
        if (hex_error_.code == text_errc::invalid_character &&
            hex_.digits() == static_cast<std::size_t>(list_type_->capacity) / 4)
            return errors::list(hex_error_, 0, *list_type_);
        return errors::list(dec_error_, 0, *list_type_,
                            hex_error_.code == text_errc::hex_digit_count && hex_.digits() > longest_position);
    }

    // ---- count lines ----

    void begin_count() {
        count_reader_ = count_line_reader();
        state_ = state::count;
        (void)count_reader_.feed(unit_, count_sink()); // the header
    }

    // The end of a count line: its number is checked once the set is read.
    void end_count_line() {
        if (count_reader_.finish(count_sink())) {
            fail_on(errors::count_line(), false);
            report();
        }
        if (counts_.empty() || (counts_.size() == 1 && count_ != counts_[0].count))
            counts_.push_back({count_, line_no_, std::string(trimmed(unit_))});
    }

    // A dump's count line must agree with the members read, so that a
    // paste that lost lines is an error rather than a smaller set.
    void check_counts() {
        if (counts_.empty())
            return;
        const std::uint64_t held = read_.vector().size();
        for (const count_line &c : counts_)
            if (c.count != held)
                fail(errors::located(where_, c.line_no, c.text, errors::count_mismatch(c.count, held)));
    }

    // ---- range lists ----

    void begin_list() {
        const std::string_view word = std::string_view(unit_).substr(0, unit_.size() - 1);
        if (const auto *t = std::ranges::find(bitmap_types, word, &bitmap_type::keyword);
            t != bitmap_types.end()) {
            list_type_ = t;
            list_ = range_list_reader(t->capacity);
            list_at_ = unit_len_;
            state_ = state::list;
            return;
        }
        fail_on(errors::keyword(word), true);
    }

    auto list_runs() {
        return [this](int lo, int hi) { add_run(*list_type_, lo, hi); };
    }

    void list_bytes(std::string_view bytes) {
        keep(bytes);
        if (const text_error e = list_.feed(bytes, list_runs()))
            fail_on(errors::list(e, list_at_, *list_type_), true);
    }

    void end_list() {
        if (unit_len_ == list_at_)
            bad(unit_, errors::empty_list());
        if (const text_error e = list_.finish(list_runs()))
            bad(unit_, errors::list(e, list_at_, *list_type_));
        accepted();
    }

    // ---- other items ----

    void end_item() {
        const std::string_view text = unit_;
        named_members m;
        if (is_digit(text.front())) { // an error shows within the first 11 bytes, which are held
            std::uint32_t if_index = 0;
            if (const text_error e = parse_if_index(text, if_index))
                bad(text, errors::number(text, e));
            m = check_storable(if_index);
        } else if (unit_len_ > unit_.size()) { // longer than any name
            m.error.code = text_errc::unknown_name;
        } else {
            m = parse_name_range(text, parse_);
        }
        if (m.error)
            bad(text, errors::item(m));
        if (m.type == single_type.code) {
            if (const std::string why = into_.add_single(m.if_index); !why.empty())
                bad(text, why);
            (void)read_.add_single(m.if_index);
        } else {
            add_run(*find_bitmap_type(m.type), m.first, m.last);
        }
        accepted();
    }

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

} // namespace

std::FILE *operand_reader::take_stdin() {
    if (stdin_read_)
        fail(errors::stdin_twice());
    stdin_read_ = true;
    return stdin;
}

void operand_reader::read(std::string_view operand, set_builder &into) {
    if (operand == "-")
        return read_stream(take_stdin(), "-", into);
    item_reader reader("", parse_, into);
    reader.feed(operand);
    reader.finish();
}

void operand_reader::read_stream(std::FILE *in, std::string_view where, set_builder &into) {
    item_reader reader(std::string(where) + ":", parse_, into);
    std::vector<char> buf(std::size_t{1} << 16);
    std::size_t offset = 0;
    for (;;) { // bytes, not C strings: a NUL byte is an error, not the end of a line
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), in);
        if (const void *nul = std::memchr(buf.data(), '\0', n))
            fail(errors::nul_byte(where, offset + static_cast<std::size_t>(static_cast<const char *>(nul) -
                                                                           buf.data())));
        reader.feed({buf.data(), n});
        offset += n;
        if (n < buf.size())
            break;
    }
    if (std::ferror(in) != 0)
        fail(errors::read_error(where, errno), exit_read);
    reader.finish();
}

} // namespace if_index_vec::cli
