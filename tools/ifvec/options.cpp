// SPDX-License-Identifier: MIT
// ifvec: the options of a command, and the help.  The help names the types,
// keywords and examples from the type table and the codec, so it describes
// the build it comes with.
#include "options.hpp"

#include "common.hpp"
#include "views.hpp"

#include "messages.hpp"

#include <if_index_vec/if_index_text.hpp>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>

namespace if_index_vec::cli {
namespace {

// A blank that wrap() does not break a line at.
constexpr char unbroken_lines = '\x1f';
std::string unbroken(std::string text) {
    std::ranges::replace(text, ' ', unbroken_lines);
    return text;
}

// Appends `text` wrapped at 74 columns.  With a `label`, the first line
// starts with it and every line is indented to `indent`.  The blanks between
// two words on one line are those of the text (two after a sentence).
void wrap(std::string &out, std::string_view text, std::string_view label = {}, std::size_t indent = 0) {
    constexpr std::size_t width = 74;
    std::string line = label.empty() ? std::string() : "  " + std::string(label);
    line.resize(std::max(line.size(), indent), ' ');
    bool first_word = true; // of the line
    std::size_t blanks = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++blanks, ++i;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', i), text.size());
        if (!first_word && line.size() + blanks + (end - i) > width) {
            out += line + "\n";
            line.assign(indent, ' ');
            first_word = true;
        }
        line.append(first_word ? 0 : blanks, ' ').append(text.substr(i, end - i));
        first_word = false;
        blanks = 0;
        i = end;
    }
    out += line + "\n";
    std::ranges::replace(out, unbroken_lines, ' ');
}

std::string view_options() {
    std::vector<std::string_view> options;
    std::ranges::transform(all_views, std::back_inserter(options), &view_info::option);
    options.emplace_back("--format=FORMAT");
    return tools::joined(options, ", ");
}

// "fc1/1-4" and the like: a name range of each type whose codec names make
// one (tools::name_range_example).
std::vector<std::string> name_range_examples() {
    std::vector<std::string> ranges;
    for (const bitmap_type &t : bitmap_types)
        if (std::string range = tools::name_range_example(t); !range.empty())
            ranges.push_back(std::move(range));
    return ranges;
}

// What a SET is, and the four kinds of item in it.
void wrap_items(std::string &out) {
    std::vector<std::string> names, lists, port_types;
    for (const bitmap_type &t : bitmap_types) {
        names.push_back(name_at(t.code, 3));
        lists.push_back(std::string(t.keyword) + " (0-" + std::to_string(t.capacity - 1) + ")");
        if (t.slot_port)
            port_types.emplace_back(t.keyword);
    }
    const std::vector<std::string> name_ranges = name_range_examples();
    const std::uint32_t example = if_index_at(bitmap_types.front().code, 3);
    const std::string single(single_type.keyword);
    wrap(out, "A SET is one argument, or '-' for standard input (read once), holding items separated by "
              "blanks, newlines or commas.  An item is");
    constexpr std::size_t indent = 22;
    wrap(out,
         tools::joined(names, ", ") + ", or the " + single +
             " interface, by the names the codec prints (the " + single +
             " interface only where the codec reads names itself: else give its if_index)",
         "an interface name", indent);
    wrap(out,
         (name_ranges.empty() ? std::string("NAME-N") : tools::joined(name_ranges, ", ")) +
             " (through the name whose last number is given; ports stay within their slot)",
         "a name range", indent);
    wrap(out,
         std::to_string(example) + ", " + tools::hex(example) +
             " (decimal, or 0x and 1 to 8 hex digits), of any interface, the " + single + " one included",
         "an if_index", indent);
    wrap(out,
         "TYPE:LIST, with TYPE one of " + tools::joined(lists, ", ", " or ") +
             " and LIST its positions, such as 0-2,5,7-8; " + tools::joined(port_types, ", ", " and ") +
             " positions are slot*" + std::to_string(ports_per_slot) + "+port; it runs to the next blank",
         "a range list", indent);
}

// Which lines of ifvec's output read back as sets, and the views.
void wrap_read_back_and_views(std::string &out) {
    const std::string single(single_type.keyword);
    const std::vector<std::string> name_ranges = name_range_examples();
    wrap(out, "A line may also be one that --ranges or --hex prints: " +
                  unbroken("'" + std::string(dump_count_header) + "N'") + " (N must be the set's size), " +
                  unbroken("'" + std::string(bitmap_types.front().dump_header) + "0-2,5'") +
                  " or the same in hex digits.  So the output of " + read_back_views() +
                  " reads back as the same set, each view alone or several together; --names only where the "
                  "codec reads names itself when the set has a " +
                  single +
                  " member, whose name it prints (--ranges and --hex print that member by name "
                  "there, by if_index elsewhere).");
    out += "\n";
    wrap(out, "Views: --names (members by name), --name-ranges (the same with runs written as name ranges "
              "such as " +
                  (name_ranges.empty() ? std::string("NAME-N") : name_ranges.front()) +
                  ", where the codec's names read back as that run), --ranges (positions per type, as the "
                  "decimal dump prints them, then the " +
                  single +
                  " member), --ifindex (one hex if_index per line), --hex (the bitmaps in hex, "
                  "then the " +
                  single +
                  " member), --counts (members per type; not read back).  --format=json prints "
                  "counts, range lists and members (name and if_index) as one JSON object instead, "
                  "and with --record one JSON array of them (not read back).");
}

// The value of the option `name` at args[i], written "--name=VALUE" or
// "--name VALUE" (then i moves to it), or nothing when args[i] is another.
std::optional<std::string_view> value_of(std::string_view name, std::span<const std::string_view> args,
                                         std::size_t &i, std::string_view expected) {
    const std::string_view a = args[i];
    if (a.size() > name.size() && a.starts_with(name) && a[name.size()] == '=')
        return a.substr(name.size() + 1);
    if (a != name)
        return std::nullopt;
    if (i + 1 == args.size())
        fail("option '" + std::string(name) + "' needs a value (" + std::string(expected) + ")");
    return args[++i];
}

// Reads the record option at args[i] (of show) into `o`; false when args[i]
// is none of them.
bool parse_record_option(std::span<const std::string_view> args, std::size_t &i, options &o) {
    const std::string_view a = args[i];
    std::optional<std::string_view> value;
    if ((value = value_of("--record", args, i, "a file of record images, or -"))) {
        if (a == "--record" && value->starts_with("-") && *value != "-")
            fail("option '--record' is followed by the option " + tools::shown(*value) +
                 ", not by a file (a file of that name: ./" + std::string(*value) + ")");
        o.records.push_back(*value);
    } else if ((value = value_of("--record-out", args, i, "a file, or -")))
        o.record_out = *value;
    else if (a == "--raw")
        o.record_out = "-";
    else if ((value = value_of("--byte-order", args, i, "big, little or host")))
        o.order = parse_byte_order(*value);
    else if ((value = value_of("--record-out-order", args, i, "big, little or host")))
        o.out_order = parse_byte_order(*value);
    else if (a == "--show-invalid")
        o.show_invalid = true;
    else if ((value = value_of("--offset", args, i, "a number of bytes"))) {
        o.window.offset = parse_size("--offset", *value);
        o.windowed = true;
    } else if ((value = value_of("--count", args, i, "a number of records"))) {
        if ((o.window.count = parse_size("--count", *value)) == 0)
            fail("--count 0 reads no record (expected 1 or more)");
        o.windowed = true;
    } else
        return false;
    return true;
}

// The options `c` takes, as the message of an unknown option lists them.
std::string options_taken(const command &c) {
    if ((c.takes & takes_views) != 0)
        return view_options() +
               ((c.takes & takes_records) != 0
                    ? ", --record FILE, --record-out FILE, --raw, --byte-order=ORDER, "
                      "--record-out-order=ORDER, --show-invalid, --offset=OFFSET, --count=COUNT"
                    : "");
    return (c.takes & takes_quiet) != 0 ? "-q, --quiet" : "no option";
}

// Options that each make sense only with or without another.
void check_together(const options &o) {
    if (o.windowed && o.records.empty())
        fail("--offset and --count say where records are: they take --record FILE");
    if (o.out_order && o.record_out.empty())
        fail("--record-out-order is the order of the images written: it takes --record-out FILE or --raw");
    if (o.json && o.views != 0)
        fail("--format=json takes no view option: it holds them all");
    if (o.record_out == "-" && (o.json || o.views != 0))
        fail("--raw and --record-out - write images to standard output: they take no view or format");
}

} // namespace

void print_help(std::span<const command> table) {
    std::fputs("usage: ifvec [-h | --help | -V | --version]\n", stdout);
    for (const command &c : table)
        std::printf("       ifvec %.*s\n", static_cast<int>(c.synopsis.size()), c.synopsis.data());
    std::string out = "\n";
    wrap_items(out);
    wrap_read_back_and_views(out);
    out += "\n"
           "Options: -h, --help  this help (after a command: its help)\n"
           "         -V, --version  the version\n"
           "         --  ends the options: what follows is operands\n"
           "\n"
           "Exit status: 0 success, or true; 1 false ('not equal', a difference found,\n"
           "none present); 2 usage error or bad input; 3 standard input or a record\n"
           "file could not be read; 4 standard output or a --record-out file could not\n"
           "be written.\n";
    std::fputs(out.c_str(), stdout);
}

void print_help(const command &c) {
    std::string text;
    wrap(text, std::string(c.help) + (c.combine != nullptr ? "  The result keeps the first SET's " +
                                                                 std::string(single_type.keyword) +
                                                                 " member, whatever the others hold."
                                                           : ""));
    if ((c.takes & takes_views) != 0)
        wrap(text, "Views: " + view_options() + " (see 'ifvec --help').");
    std::printf("usage: ifvec %.*s\n\n%s", static_cast<int>(c.synopsis.size()), c.synopsis.data(),
                text.c_str());
}

bool parse_options(const command &c, std::span<const std::string_view> args, options &o) {
    bool only_operands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (only_operands || a == "-" || !a.starts_with("-")) {
            o.operands.push_back(a);
            continue;
        }
        const auto *v = std::ranges::find(all_views, a, &view_info::option);
        const bool views = (c.takes & takes_views) != 0;
        std::optional<std::string_view> value;
        if (a == "--")
            only_operands = true;
        else if (a == "-h" || a == "--help")
            return false;
        else if ((c.takes & takes_quiet) != 0 && (a == "-q" || a == "--quiet"))
            o.quiet = true;
        else if (views && v != all_views.end())
            o.views = o.views | v->flag;
        else if (views && (value = value_of("--format", args, i, "text or json"))) {
            if (*value != "json" && *value != "text")
                fail("unknown format " + tools::shown(*value) + " (expected text or json)");
            o.json = *value == "json";
        } else if ((c.takes & takes_records) == 0 || !parse_record_option(args, i, o))
            fail("unknown option " + tools::shown(a) + " for " + std::string(c.name) + " (it takes " +
                 options_taken(c) + ")");
    }
    check_together(o);
    return true;
}

} // namespace if_index_vec::cli
