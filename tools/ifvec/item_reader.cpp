// SPDX-License-Identifier: MIT
// ifvec: reading a set's items and range lists, and the states that lead to
// them (item_reader.hpp has the grammar).
#include "item_reader.hpp"

#include "common.hpp"

#include "item_grammar.hpp"
#include "messages.hpp"

#include <algorithm>

namespace if_index_vec::cli {

namespace {

constexpr std::size_t held_types = 2 * name_buffer_size;

using tools::ends_item;
using tools::is_blank;
using tools::is_digit;
using tools::is_keyword_char;

} // namespace

void item_reader::feed(std::string_view bytes) {
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

void item_reader::finish() {
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

std::size_t item_reader::stretch_end(std::string_view bytes, std::size_t i) const {
    if (state_ != state::list && state_ != state::dump)
        return i;
    while (i < bytes.size() && bytes[i] != '\n' && (state_ == state::dump || !is_blank(bytes[i])))
        ++i;
    return i;
}

void item_reader::step(char c) {
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

void item_reader::at_line_start(char c) {
    if (is_blank(c))
        return;
    if (c == '\n')
        return newline();
    begin_unit();
    state_ = state::line_head;
    at_line_head(c);
}

void item_reader::at_line_head(char c) {
    if (c == '\n')
        return replay(), step(c);
    keep(c);
    match_head();
}

void item_reader::at_between(char c) {
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

void item_reader::at_item(char c) {
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

void item_reader::at_list(char c) {
    end_list();
    state_ = state::between;
    if (c == '\n')
        newline();
}

void item_reader::at_context(char c) {
    if (c == '\n' || (until_blank_ && is_blank(c)))
        report();
    keep(c);
    if (unit_.size() > tools::shown_bytes)
        bad(unit_, pending_);
}

void item_reader::newline() {
    state_ = state::line_start;
    fresh_line_ = true;
}

void item_reader::begin_unit() {
    unit_.clear();
    unit_len_ = 0;
}

void item_reader::keep(std::string_view bytes) {
    unit_.append(bytes.substr(0, held_types - std::min(held_types, unit_.size())));
    unit_len_ += bytes.size();
}

void item_reader::bad(std::string_view text, const std::string &why) const {
    fail(errors::located(where_, line_no_, text, why));
}

void item_reader::fail_on(std::string why, bool item) {
    pending_ = std::move(why);
    until_blank_ = item;
    state_ = state::context;
}

void item_reader::report() {
    if (!until_blank_ && unit_.ends_with('\r'))
        unit_.pop_back();
    bad(unit_, pending_);
}

void item_reader::comma() {
    if (!after_item_) {
        begin_unit();
        keep(',');
        return fail_on(errors::empty_item(), false);
    }
    after_item_ = false;
    comma_last_ = true;
}

void item_reader::accepted() {
    after_item_ = true;
    comma_last_ = false;
}

void item_reader::add_run(const bitmap_type &t, int lo, int hi) {
    into_.add_run(t, lo, hi);
    read_.add_run(t, lo, hi);
}

void item_reader::begin_list() {
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

void item_reader::list_bytes(std::string_view bytes) {
    keep(bytes);
    if (const text_error e = list_.feed(bytes, list_runs()))
        fail_on(errors::list(e, list_at_, *list_type_), true);
}

void item_reader::end_list() {
    if (unit_len_ == list_at_)
        bad(unit_, errors::empty_list());
    if (const text_error e = list_.finish(list_runs()))
        bad(unit_, errors::list(e, list_at_, *list_type_));
    accepted();
}

void item_reader::end_item() {
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

} // namespace if_index_vec::cli
