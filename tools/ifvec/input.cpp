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
// add and strip them.
//
// Memory: besides the 64 KiB buffer of standard input, the reader holds the
// current item or line start up to `held_types` bytes (longer than any name);
// range lists, whatever their length, go through a range_list_reader a piece
// at a time, and a hex dump line is at most 1024 digits.  An error shows the text it is about, which the
// reader may first read on to the end of the item or line (at most 41 bytes).
#include "input.hpp"

#include "common.hpp"
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
int hex_digit(char c) { return is_digit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The starts of lines of ifvec's own output.
struct line_head {
    enum kind { count_line, dump_line, heading, counts_view, counts_row, json_view } kind;
    std::string text;
    const bitmap_type *type = nullptr;
};

const std::vector<line_head> &line_heads() {
    static const std::vector<line_head> heads = [] {
        std::vector<line_head> h{{line_head::count_line, std::string(trimmed(dump_count_header))},
                                 {line_head::heading, std::string(empty_mark)},
                                 {line_head::counts_row, std::string(single_type.keyword) + " "},
                                 {line_head::counts_row, "total "},
                                 {line_head::json_view, std::string(tools::json_start)}};
        std::ranges::transform(diff_headings, std::back_inserter(h), [](std::string_view d) {
            return line_head{line_head::heading, std::string(d)};
        });
        for (const bitmap_type &t : bitmap_types) {
            h.push_back({line_head::dump_line, std::string(trimmed(t.dump_header)), &t});
            h.push_back({line_head::counts_row, std::string(t.keyword) + " "});
        }
        std::ranges::transform(all_views, std::back_inserter(h), [](const view_info &v) {
            return line_head{v.reads_back ? line_head::heading : line_head::counts_view,
                             std::string(v.heading) + ":"};
        });
        return h;
    }();
    return heads;
}

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

std::string explain(const named_members &m) {
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

std::string number_error(std::string_view text, text_error e) {
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

// `hex_digits`: the list is a dump line's, with too many or too few hex
// digits for its hex dump.
std::string list_error(text_error e, std::size_t at, const bitmap_type &t, bool hex_digits = false) {
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

constexpr std::string_view empty_item_text = "empty item (a comma at the start or end of a set, or two in a row)";

// A dump's count line, as read: its number, line and text.
struct count_line {
    std::uint64_t count;
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
            if (state_ == state::list || (state_ == state::dump_body && !maybe_hex_)) {
                std::size_t end = i;
                while (end < bytes.size() && !is_blank(bytes[end]) && bytes[end] != '\n')
                    ++end;
                list_bytes(bytes.substr(i, end - i));
                if ((i = end) == bytes.size())
                    break;
            }
            step(bytes[i++]);
        }
    }

    // The end of the set.
    void finish() {
        switch (state_) {
        case state::line_head: replay(); return finish();
        case state::item: end_item(); break;
        case state::list: end_list(); break;
        case state::dump_gap:
        case state::dump_body:
        case state::dump_tail: end_dump(); break;
        case state::count:
            if (count_phase_ == 0) {
                fail_on(count_message(), false);
                report();
            }
            end_count();
            break;
        case state::counts_row:
            if (count_phase_ == 0) {
                replay();
                return finish();
            }
            refuse_counts_row();
            report();
        case state::context: report();
        default: break;
        }
        if (comma_last_)
            bad(",", std::string(empty_item_text));
        check_counts();
    }

private:
    enum class state : unsigned char {
        line_start, // blanks at the start of a line
        line_head,  // the start of a line that may be a line of ifvec's output
        between,    // between items
        item,       // an item other than a range list
        list,       // a range list, after its "keyword:"
        dump_gap,   // blanks after a dump line's header
        dump_body,  // a dump line's range list or hex digits
        dump_tail,  // blanks after it
        count,      // after "No. of interfaces:"
        counts_row, // after a type keyword or "total" that starts a line
        heading,    // blanks after a view's heading
        context,    // after an error: reading on to the end of the text it shows
    };

    void step(char c) {
        if (fresh_line_) {
            ++line_no_;
            fresh_line_ = false;
        }
        const bool nl = c == '\n', blank = is_blank(c);
        switch (state_) {
        case state::line_start:
            if (blank)
                return;
            if (nl)
                return newline();
            begin_unit();
            state_ = state::line_head;
            [[fallthrough]];
        case state::line_head:
            if (nl)
                return replay(), step(c);
            keep(c);
            return match_head();
        case state::between:
            if (blank)
                return;
            if (nl)
                return newline();
            if (c == ',')
                return comma();
            begin_unit();
            state_ = state::item;
            keyword_ = true;
            [[fallthrough]];
        case state::item:
            if (ends_item(c)) {
                end_item();
                state_ = state::between;
                return nl ? newline() : c == ',' ? comma() : void();
            }
            keep(c);
            if (c == ':' && keyword_ && unit_len_ > 1)
                return begin_list();
            keyword_ = keyword_ && is_keyword_char(c);
            return;
        case state::list:
            if (!blank && !nl)
                return list_bytes({&c, 1});
            end_list();
            state_ = state::between;
            return nl ? newline() : void();
        case state::dump_gap:
            if (blank)
                return keep(c);
            if (nl)
                return end_dump(), newline();
            state_ = state::dump_body;
            list_at_ = unit_len_;
            [[fallthrough]];
        case state::dump_body:
            if (blank || nl) {
                end_dump_body();
                if (state_ == state::dump_body)
                    state_ = state::dump_tail;
                return step(c);
            }
            keep(c);
            if (maybe_hex_ && hex_digit(c) >= 0 && hex_.size() < hex_length())
                return hex_.push_back(c);
            hex_digits_ = hex_digits_ || (maybe_hex_ && hex_digit(c) >= 0); // one too many
            return leave_hex(), list_bytes({&c, 1}, false);
        case state::dump_tail:
            if (nl)
                return end_dump(), newline();
            keep(c);
            if (!blank)
                fail_on(list_error({text_errc::invalid_character, unit_len_ - 1}, 0, *list_type_), false);
            return;
        case state::count:
            if (nl && count_phase_ == 0) {
                fail_on(count_message(), false);
                report();
            }
            if (nl)
                return end_count(), newline();
            keep(c);
            if (blank && count_phase_ == 1)
                count_phase_ = 2;
            else if (is_digit(c) && count_phase_ < 2) {
                count_phase_ = 1;
                count_ =
                    std::min<std::uint64_t>(count_ * 10 + static_cast<unsigned>(c - '0'), UINT32_MAX + 1ull);
            } else if (!blank)
                fail_on(count_message(), false);
            return;
        case state::counts_row: // "phy_fc        3": blanks, a number, blanks
            if (nl && count_phase_ == 0)
                return replay(), step(c);
            if (nl) {
                refuse_counts_row();
                report();
            }
            keep(c);
            if (is_digit(c) && count_phase_ < 2)
                count_phase_ = 1;
            else if (blank && count_phase_ == 1)
                count_phase_ = 2;
            else if (!blank) // not a row of --counts after all
                replay();
            return;
        case state::heading:
            if (nl)
                return newline();
            keep(c);
            if (!blank) // not a heading after all
                replay();
            return;
        case state::context:
            if (nl || (until_blank_ && blank))
                report();
            keep(c);
            if (unit_.size() > tools::shown_bytes)
                bad(unit_, pending_);
            return;
        }
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
    void keep(char c) {
        if (unit_.size() < held_types)
            unit_ += c;
        ++unit_len_;
    }

    [[noreturn]] void bad(std::string_view text, const std::string &why) const {
        fail(where_ + (where_.empty() ? "" : std::to_string(line_no_) + ": ") + tools::shown(text) + ": " +
             why);
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
            return fail_on(std::string(empty_item_text), false);
        }
        after_item_ = false;
        comma_last_ = true;
    }

    void accepted() {
        after_item_ = true;
        comma_last_ = false;
    }

    auto run_sink() {
        return [this](int lo, int hi) {
            into_.add_run(*list_type_, lo, hi);
            read_.add_run(*list_type_, lo, hi);
        };
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
        switch (h.kind) {
        case line_head::count_line:
            count_phase_ = 0;
            count_ = 0;
            state_ = state::count;
            return;
        case line_head::heading: state_ = state::heading; return;
        case line_head::counts_view:
            return fail_on("a line of the --counts view, which does not name the members (the output of " +
                               read_back_views() + " reads back, alone or together)",
                           false);
        case line_head::counts_row:
            count_phase_ = 0;
            state_ = state::counts_row;
            return;
        case line_head::json_view:
            return fail_on("the start of --format=json output, which does not read back (the output of " +
                               read_back_views() + " does, alone or together)",
                           false);
        case line_head::dump_line:
            list_type_ = h.type;
            list_ = range_list_reader(h.type->capacity);
            maybe_hex_ = true;
            hex_digits_ = false;
            hex_.clear();
            state_ = state::dump_gap;
            return;
        }
    }

    // A line of --counts after all: its keyword, blanks and a number.
    void refuse_counts_row() { begin_line({line_head::counts_view, "", nullptr}); }

    [[nodiscard]] std::size_t hex_length() const {
        return static_cast<std::size_t>(list_type_->capacity) / 4;
    }

    // The digits held as possibly hex are a range list after all.
    void leave_hex() {
        if (!maybe_hex_)
            return;
        maybe_hex_ = false;
        list_bytes(hex_, false);
    }

    void end_dump_body() {
        if (maybe_hex_ && hex_.size() == hex_length()) {
            for (std::size_t i = 0; i < hex_.size(); i += 2)
                for (set_builder *b : {&into_, &read_})
                    b->add_byte(*list_type_, i / 2,
                                static_cast<std::uint8_t>(hex_digit(hex_[i]) << 4 | hex_digit(hex_[i + 1])));
            maybe_hex_ = false;
            hex_.clear();
            return;
        }
        constexpr std::size_t longest_position = 4; // digits: more can only be a hex dump
        hex_digits_ = hex_digits_ || (maybe_hex_ && hex_.size() > longest_position);
        leave_hex();
        if (const text_error e = list_.finish(run_sink()))
            fail_on(list_error(e, list_at_, *list_type_, hex_digits_), false);
    }

    void end_dump() {
        if (state_ != state::dump_tail)
            end_dump_body();
        if (state_ == state::context)
            report();
        accepted();
    }

    // ---- count lines ----

    // The end of a count line: its number is checked once the set is read.
    void end_count() {
        if (count_phase_ != 0 && (counts_.empty() || (counts_.size() == 1 && count_ != counts_[0].count)))
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
                fail(where_ + (where_.empty() ? "" : std::to_string(c.line_no) + ": ") +
                     tools::shown(c.text) + ": the count line says " + std::to_string(c.count) +
                     " members, but the input holds " + std::to_string(held) + " (a partial paste?)");
    }

    [[nodiscard]] static std::string count_message() {
        return "expected the member count after '" + std::string(dump_count_header) + "'";
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
        if (word == single_type.keyword)
            return fail_on(std::string(word) + " is a single slot, not a range of positions: give it by name",
                           true);
        fail_on("unknown type keyword " + tools::shown(word) + " (expected " + list_keywords() + ")", true);
    }

    void list_bytes(std::string_view bytes, bool held = true) {
        if (held) {
            unit_.append(bytes.substr(0, held_types - std::min(held_types, unit_.size())));
            unit_len_ += bytes.size();
        }
        if (const text_error e = list_.feed(bytes, run_sink()))
            fail_on(list_error(e, list_at_, *list_type_, hex_digits_ && state_ != state::list),
                    state_ == state::list);
    }

    void end_list() {
        if (unit_len_ == list_at_)
            bad(unit_, "empty range list after ':' (expected positions such as 0-3,9)");
        if (const text_error e = list_.finish(run_sink()))
            bad(unit_, list_error(e, list_at_, *list_type_));
        accepted();
    }

    // ---- other items ----

    void end_item() {
        const std::string_view text = unit_;
        named_members m;
        if (is_digit(text.front())) { // an error shows within the first 11 bytes, which are held
            std::uint32_t if_index = 0;
            if (const text_error e = parse_if_index(text, if_index))
                bad(text, number_error(text, e));
            m = check_storable(if_index);
        } else if (unit_len_ > unit_.size()) { // longer than any name
            m.error.code = text_errc::unknown_name;
        } else {
            m = parse_name_range(text, parse_);
        }
        if (m.error)
            bad(text, explain(m));
        if (m.type == single_type.code) {
            if (const std::string why = into_.add_single(m.if_index); !why.empty())
                bad(text, why);
            (void)read_.add_single(m.if_index);
        } else {
            into_.add_run(*find_bitmap_type(m.type), m.first, m.last);
            read_.add_run(*find_bitmap_type(m.type), m.first, m.last);
        }
        accepted();
    }

    std::string where_;
    const name_parse_fn &parse_;
    set_builder &into_;
    std::string unit_;
    std::string hex_;
    std::string pending_; // the error being reported
    range_list_reader list_{0};
    const bitmap_type *list_type_ = nullptr;
    std::size_t line_no_ = 0;
    std::size_t unit_len_ = 0;
    std::size_t list_at_ = 0;        // offset of the range list in unit_
    int count_phase_ = 0;            // of "N" on the count line: before it, in it, after it
    std::uint64_t count_ = 0;        // N so far (capped above any count)
    std::vector<count_line> counts_; // the first, and the first other number
    set_builder read_;               // the members read here, which the count lines count
    state state_ = state::line_start;
    bool fresh_line_ = true;
    bool after_item_ = false; // an item, and no comma after it, since the start
    bool comma_last_ = false; // the last thing read was a comma
    bool keyword_ = false;    // the item so far could be a type keyword
    bool maybe_hex_ = false;  // a dump line's digits so far could be its hex dump
    bool hex_digits_ = false; // the line holds a wrong number of hex digits
    bool until_blank_ = false;
};

} // namespace

std::FILE *operand_reader::take_stdin() {
    if (stdin_read_)
        fail("'-': standard input can be read only once");
    stdin_read_ = true;
    return stdin;
}

void operand_reader::read(std::string_view operand, set_builder &into) {
    if (operand != "-") {
        item_reader reader("", parse_, into);
        reader.feed(operand);
        return reader.finish();
    }
    item_reader reader("-:", parse_, into);
    std::FILE *const in = take_stdin();
    std::vector<char> buf(std::size_t{1} << 16);
    std::size_t offset = 0;
    for (;;) { // bytes, not C strings: a NUL byte is an error, not the end of a line
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), in);
        if (const void *nul = std::memchr(buf.data(), '\0', n))
            fail("-: NUL byte at offset " +
                 std::to_string(offset +
                                static_cast<std::size_t>(static_cast<const char *>(nul) - buf.data())));
        reader.feed({buf.data(), n});
        offset += n;
        if (n < buf.size())
            break;
    }
    if (std::ferror(in) != 0)
        fail(std::string("-: read error: ") + std::strerror(errno), exit_read);
    reader.finish();
}

} // namespace if_index_vec::cli
