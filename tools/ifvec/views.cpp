// SPDX-License-Identifier: MIT
// ifvec: the views.  --ranges and --hex are the library's dumps, which count
// the single-slot member but do not list it, so it follows them on a line of
// its own: by name where the codec reads names itself (if_index_parse), else
// as its if_index, so that each of them holds the whole set and reads back.
#include "views.hpp"

#include "codec_parse.hpp"
#include "common.hpp"
#include "name_parser.hpp"

#include <if_index_vec/if_index_text.hpp>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace if_index_vec::cli {
namespace {

void print_counts(const if_index_vector_t *rec) {
    const index_vector set(*rec);
    const auto row = [](std::string_view label, unsigned n) {
        std::printf("%-13.*s %u\n", static_cast<int>(label.size()), label.data(), n);
    };
    for (const bitmap_type &t : bitmap_types)
        row(t.keyword, set.count(static_cast<if_type>(t.code)));
    row(single_type.keyword, set.count(if_type::single));
    row("total", set.size());
}

void print_single(const if_index_vector_t *rec) {
    static const bool by_name = tools::codec_parse() != nullptr;
    if (rec->single_if_index != 0)
        std::puts((by_name ? name_of(rec->single_if_index) : tools::hex(rec->single_if_index)).c_str());
}

void print_ranges(const if_index_vector_t *rec) {
    if_index_vector_printf_dec(rec);
    print_single(rec);
}

void print_hex(const if_index_vector_t *rec) {
    if_index_vector_printf_hex(rec);
    print_single(rec);
}

// The first member of `run` (consecutive positions of `t`) by name,
// followed by "-N" for as many of the next ones as the reader takes back as
// that run, and how many members it names.  NAME-N is checked by reading it
// back through the codec's names, so a run is written only where this
// codec's names make one (the last number counting up, within one slot);
// anything else stays a name of its own.
std::pair<std::string, std::size_t> name_range(const bitmap_type &t, std::span<const int> run,
                                               const name_parse_fn &parse) {
    const std::string first = name_at(t.code, run.front());
    std::pair<std::string, std::size_t> item{first, 1};
    for (std::size_t j = 1; j < run.size(); ++j) {
        const std::string last = name_at(t.code, run[j]);
        std::string text = first + "-" + last.substr(last.find_last_not_of("0123456789") + 1);
        const named_members m = parse_name_range(text, parse);
        if (m.error || m.type != t.code || m.first != run.front() || m.last != run[j])
            break;
        item = {std::move(text), j + 1};
    }
    return item;
}

// One line per type with members, as --names prints, but with name ranges
// ("fc1/1-4, fc2/1") where the names allow; the single-slot member last.
void print_name_ranges(const if_index_vector_t *rec) {
    static const name_parse_fn parse = codec_name_parser();
    std::array<std::vector<int>, bitmap_types.size()> positions;
    for (const std::uint32_t x : index_vector(*rec)) {
        const std::uint8_t type = classify(x).type;
        if (const bitmap_type *t = find_bitmap_type(type))
            positions[static_cast<std::size_t>(t - bitmap_types.data())].push_back(position_of(type, x));
    }
    for (std::size_t r = 0; r < bitmap_types.size(); ++r) {
        const std::vector<int> &p = positions[r];
        std::string line;
        for (std::size_t i = 0; i < p.size();) {
            std::size_t end = i + 1; // of the run of consecutive positions from i
            while (end < p.size() && p[end] == p[end - 1] + 1)
                ++end;
            const auto [item, named] = name_range(bitmap_types[r], std::span(p).subspan(i, end - i), parse);
            line += (line.empty() ? "" : ", ") + item;
            i += named;
        }
        if (!line.empty())
            std::puts(line.c_str());
    }
    print_single(rec);
}

void print_ifindexes(const if_index_vector_t *rec) {
    for (const std::uint32_t x : index_vector(*rec))
        std::puts(tools::hex(x).c_str());
}

} // namespace

std::string read_back_views() {
    std::vector<std::string_view> options;
    for (const view_info &v : all_views)
        if (v.reads_back)
            options.push_back(v.option);
    return tools::joined(options, ", ", " and ");
}

namespace {

using json = nlohmann::ordered_json;

json json_of(const index_vector &set) {
    json counts, ranges, members = json::array();
    std::array<std::vector<int>, bitmap_types.size()> positions;
    for (const std::uint32_t x : set) {
        members.push_back({{"name", name_of(x)}, {"if_index", x}});
        const std::uint8_t type = classify(x).type;
        if (const bitmap_type *t = find_bitmap_type(type))
            positions[static_cast<std::size_t>(t - bitmap_types.data())].push_back(position_of(type, x));
    }
    for (std::size_t r = 0; r < bitmap_types.size(); ++r) {
        const std::string keyword(bitmap_types[r].keyword);
        counts[keyword] = positions[r].size();
        ranges[keyword] = format_range_list(positions[r]);
    }
    counts[std::string(single_type.keyword)] = set.count(if_type::single);
    counts["total"] = set.size();
    return {{"counts", counts}, {"ranges", ranges}, {"members", members}};
}

void print(const json &out) { std::puts(out.dump(2, ' ', false, json::error_handler_t::replace).c_str()); }

} // namespace

void print_json(const index_vector &set) { print(json_of(set)); }

void print_json_diff(const index_vector &a_only, const index_vector &b_only) {
    print({{"only_in_a", json_of(a_only)}, {"only_in_b", json_of(b_only)}});
}

void print_json(std::span<const shown_record> records) {
    json out = json::array();
    for (const shown_record &r : records) {
        json one = {{"file", r.file},
                    {"record", r.number},
                    {"offset", r.offset},
                    {"num_if", r.num_if},
                    {"problems", r.problems}};
        one.update(json_of(r.set));
        out.push_back(std::move(one));
    }
    print(out);
}

void show(const index_vector &set, view_set views) {
    using print_fn = void (*)(const if_index_vector_t *);
    constexpr std::array<print_fn, all_views.size()> print{
        if_index_vector_printf, print_name_ranges, print_ranges, print_ifindexes, print_hex, print_counts};
    const bool headed = (views & (views - 1)) != 0;
    for (std::size_t i = 0; i < all_views.size(); ++i) {
        const view_info &v = all_views[i];
        if (!contains(views, v.flag))
            continue;
        if (headed)
            std::printf("%.*s:\n", static_cast<int>(v.heading.size()), v.heading.data());
        if (headed && set.empty() && v.flag != view::counts)
            std::printf("%.*s\n", static_cast<int>(empty_mark.size()), empty_mark.data());
        else
            print[i](set.c_ptr());
    }
}

} // namespace if_index_vec::cli
