// SPDX-License-Identifier: MIT
// ifvec: the lines of its own output in a set: the dumps' lines, read by the
// library's readers, view headings, and the views that do not read back.
#include "item_reader.hpp"

#include "common.hpp"
#include "views.hpp"

#include "item_grammar.hpp"

#include <algorithm>
#include <iterator>

namespace if_index_vec::cli {

namespace {

using tools::is_blank;
using tools::is_digit;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

// The starts of lines of ifvec's own output.
struct line_head {
    enum class kind : unsigned char { count_line, dump_line, heading, counts_view, counts_row, json_view };
    kind what;
    std::string text;
    const bitmap_type *type = nullptr;
};

namespace {

const std::vector<line_head> &line_heads() {
    using enum line_head::kind;
    static const std::vector<line_head> heads = [] {
        std::vector<line_head> h{{count_line, std::string(trimmed(dump_count_header))},
                                 {heading, std::string(tools::empty_mark)},
                                 {counts_row, std::string(single_type.keyword) + " "},
                                 {counts_row, "total "},
                                 {json_view, std::string(tools::json_start)}};
        std::ranges::transform(diff_headings, std::back_inserter(h), [](std::string_view d) {
            return line_head{heading, std::string(d)};
        });
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

} // namespace

void item_reader::at_dump(char /*newline*/) { // every other byte goes to dump_bytes()
    end_dump();
    newline();
}

void item_reader::at_count(char c) {
    if (c == '\n')
        return end_count_line(), newline();
    keep(c);
    if (count_reader_.feed({&c, 1}, count_sink()))
        fail_on(errors::count_line(), false);
}

void item_reader::at_counts_row(char c) { // "phy_fc        3": blanks, a number, blanks
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

void item_reader::at_heading(char c) {
    if (c == '\n')
        return newline();
    keep(c);
    if (!is_blank(c)) // not a heading after all
        replay();
}

void item_reader::match_head() {
    bool prefix = false;
    for (const line_head &h : line_heads()) {
        if (h.text == unit_)
            return begin_line(h);
        prefix = prefix || std::string_view(h.text).starts_with(unit_);
    }
    if (!prefix)
        replay();
}

void item_reader::replay() {
    const std::string held = unit_;
    state_ = state::between;
    for (const char c : held)
        step(c);
}

void item_reader::begin_line(const line_head &h) {
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

void item_reader::begin_dump(const bitmap_type &t) {
    list_type_ = &t;
    dec_ = dump_line_reader();
    hex_ = hex_line_reader();
    dec_error_ = hex_error_ = {};
    hex_bytes_.clear();
    dec_runs_.clear();
    state_ = state::dump;
    forward(unit_); // the header: the readers' offsets are unit_'s
}

void item_reader::dump_bytes(std::string_view bytes) {
    keep(bytes);
    forward(bytes);
}

void item_reader::forward(std::string_view bytes) {
    const auto held = [this](const bitmap_type &, std::size_t, std::uint8_t bits) {
        hex_bytes_.push_back(bits);
    };
    if (!hex_error_ && (hex_error_ = hex_.feed(bytes, held)))
        take_dec_runs();
    if (!dec_error_)
        dec_error_ = dec_.feed(bytes, dec_sink());
    if (dec_error_ && hex_error_)
        fail_on(dump_error(), false);
}

std::function<void(const bitmap_type &, int, int)> item_reader::dec_sink() {
    return [this](const bitmap_type &t, int lo, int hi) {
        if (hex_error_)
            add_run(t, lo, hi);
        else
            dec_runs_.emplace_back(lo, hi);
    };
}

void item_reader::take_dec_runs() {
    for (const auto &[lo, hi] : dec_runs_)
        add_run(*list_type_, lo, hi);
    dec_runs_.clear();
}

void item_reader::end_dump() {
    if (!hex_error_ && (hex_error_ = hex_.finish([](const bitmap_type &, std::size_t, std::uint8_t) {})))
        take_dec_runs();
    if (!hex_error_) {
        for (std::size_t i = 0; i < hex_bytes_.size(); ++i)
            for (set_builder *b : {&into_, &read_})
                b->add_byte(*list_type_, i, hex_bytes_[i]);
    } else if (!dec_error_) {
        dec_error_ = dec_.finish(dec_sink());
    }
    if (hex_error_ && dec_error_) {
        fail_on(dump_error(), false);
        report();
    }
    accepted();
}

std::string item_reader::dump_error() const {
    constexpr std::size_t longest_position = 4; // digits: more can only be a hex dump
    if (hex_error_.code == text_errc::invalid_character &&
        hex_.digits() == static_cast<std::size_t>(list_type_->capacity) / 4)
        return errors::list(hex_error_, 0, *list_type_);
    return errors::list(dec_error_, 0, *list_type_,
                        hex_error_.code == text_errc::hex_digit_count && hex_.digits() > longest_position);
}

void item_reader::begin_count() {
    count_reader_ = count_line_reader();
    state_ = state::count;
    (void)count_reader_.feed(unit_, count_sink()); // the header
}

void item_reader::end_count_line() {
    if (count_reader_.finish(count_sink())) {
        fail_on(errors::count_line(), false);
        report();
    }
    if (counts_.empty() || (counts_.size() == 1 && count_ != counts_[0].count))
        counts_.push_back({count_, line_no_, std::string(trimmed(unit_))});
}

void item_reader::check_counts() {
    if (counts_.empty())
        return;
    const std::uint64_t held = read_.vector().size();
    for (const count_line &c : counts_)
        if (c.count != held)
            fail(errors::located(where_, c.line_no, c.text, errors::count_mismatch(c.count, held)));
}

} // namespace if_index_vec::cli
