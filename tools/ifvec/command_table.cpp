// SPDX-License-Identifier: MIT
// ifvec: the command table, and the entry point that finds a command and
// runs it.  The demo and the help command run here, as they run command
// lines or read the table themselves.
#include "command_table.hpp"

#include "commands.hpp"
#include "common.hpp"
#include "options.hpp"

#include "messages.hpp"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#ifndef IF_INDEX_VEC_VERSION_TEXT
#define IF_INDEX_VEC_VERSION_TEXT "unknown"
#endif

namespace if_index_vec::cli {
namespace {

// The built-in example: each command as a user would type it, then what it
// prints, run through the same code as the command itself.  Its names are
// the codec's own, so that it runs with any codec; it holds no mgmt member,
// which no codec call builds.
int run_demo(const command & /*c*/, const options &o, operand_reader & /*in*/) {
    if (!o.operands.empty())
        fail("demo: takes no operands");
    const std::string a = "phy_fc:0-2,5,7-8 " + name_at(IF_TYPE_PORT_CHANNEL, 0) + "-3 " +
                          name_at(IF_TYPE_PORT_CHANNEL, 9) + " " + name_at(IF_TYPE_ISCSI, 69) + " " +
                          name_at(IF_TYPE_FC_TUNNEL, 4095);
    const std::string b = name_at(IF_TYPE_PHY_FC, 1) + "-3 " + name_at(IF_TYPE_PHY_FC, 64) + " " +
                          name_at(IF_TYPE_PORT_CHANNEL, 9) + "-10 " +
                          tools::hex(if_index_at(IF_TYPE_FC_TUNNEL, 4095));
    const std::string listed = name_at(IF_TYPE_PHY_FC, 0) + "-2 " + name_at(IF_TYPE_PORT_CHANNEL, 7);
    const std::string fc1 = name_at(IF_TYPE_PHY_FC, 1), fc64 = name_at(IF_TYPE_PHY_FC, 64);
    const std::vector<std::vector<std::string_view>> demo = {
        {"show", a},
        {"union", "--names", "--counts", a, b},
        {"intersect", "--ranges", a, b},
        {"subtract", "--ifindex", a, b},
        {"equal", a, b},
        {"diff", a, b},
        {"present", a, fc1, fc64, "port_channel:3-5"},
        {"show", "--format=json", listed},
    };
    std::printf("A built-in example.  Each command below shows what running it prints.\n");
    for (const auto &cmd : demo) {
        std::printf("\n$ ifvec");
        for (const std::string_view arg : cmd)
            std::printf(arg.find(' ') != std::string_view::npos ? " '%.*s'" : " %.*s",
                        static_cast<int>(arg.size()), arg.data());
        std::printf("\n");
        (void)run(cmd);
    }
    return exit_ok;
}

// The help command, after the table it reads.
int run_help(const command & /*c*/, const options &o, operand_reader & /*in*/);

constexpr command command_table[] = {
    {"show", "show [VIEW...] [--format=FORMAT] [RECORD-OPTION...] SET...",
     "Shows the set of all the SETs' items: every view but --ifindex by default.  Record images, the 824 "
     "bytes of an if_index_vector_t as a program holds it: --record FILE... shows each record in each FILE "
     "('-': standard input), the operands then being files too; --record-out FILE writes the image of "
     "each set shown to FILE (replaced only once written whole) and prints views only when asked for, --raw "
     "writes it to standard output; "
     "--byte-order=big|little|host (default host) is the order of the images' 32-bit fields; "
     "--record-out-order=ORDER is that of the images written, when it differs (so --record FILE "
     "--byte-order=big --raw --record-out-order=little turns big-endian images into little-endian ones); "
     "--show-invalid shows a record whose byte counts or num_if disagree, marked, instead of refusing it "
     "(one whose byte counts are right only in the other byte order is said to look byte-swapped); "
     "--offset=OFFSET skips OFFSET bytes of each FILE (of a memory or core image) and --count=COUNT reads at "
     "most COUNT records from there, each a decimal number or 0x and hex digits.",
     takes_views | takes_records, run_show},
    {"union", "union [VIEW...] [--format=FORMAT] SET...",
     "Shows the union of the SETs, taken left to right (--names by default).", takes_views, run_combine,
     [](index_vector &r, const index_vector &n) { r |= n; }},
    {"intersect", "intersect [VIEW...] [--format=FORMAT] SET...",
     "Shows the intersection of the SETs, taken left to right (--names by default).", takes_views,
     run_combine, [](index_vector &r, const index_vector &n) { r &= n; }},
    {"subtract", "subtract [VIEW...] [--format=FORMAT] SET...",
     "Shows the first SET less each of the others, left to right (--names by default).", takes_views,
     run_combine, [](index_vector &r, const index_vector &n) { r -= n; }},
    {"equal", "equal [-q] SET_A SET_B",
     "Prints 'equal' and exits 0 when the sets hold the same members, else prints 'not equal' and "
     "exits 1.  "
     "-q, --quiet: print nothing.",
     takes_quiet, run_equal},
    {"diff", "diff [-q] [VIEW...] [--format=FORMAT] SET_A SET_B",
     "Prints the members only in SET_A under the line 'only in A:', then those only in SET_B under "
     "'only in B:' ('(empty)' for a side with none), by --names unless views are asked for; exits 0, "
     "printing nothing, when the sets are equal, else 1.  Each section reads back as its side, and the "
     "headings are skipped, so the whole output of --names or --ifindex reads back as the members in one "
     "set only.  --format=json prints one object with only_in_a and only_in_b.  "
     "-q, --quiet: print nothing.",
     takes_views | takes_quiet, run_diff},
    {"present", "present [-q] SET ITEMS...",
     "Prints the members of SET that the ITEMS name, one name per line in canonical order; exits 1 "
     "when "
     "there is none.  -q, --quiet: print nothing.",
     takes_quiet, run_present},
    {"demo", "demo", "Shows every command's output for a built-in example.", 0, run_demo},
    {"help", "help [COMMAND]", "Shows this help, or a command's.", 0, run_help},
};

// A blank that wrap() does not break a line at.

std::string command_names() {
    std::vector<std::string_view> names;
    std::ranges::transform(command_table, std::back_inserter(names), &command::name);
    return tools::joined(names, ", ", " or ");
}

const command *find_command(std::string_view name) {
    const command *c = std::ranges::find(command_table, name, &command::name);
    return c != std::end(command_table) ? c : nullptr;
}

int run_help(const command & /*c*/, const options &o, operand_reader & /*in*/) {
    if (o.operands.size() > 1)
        fail("help: expected at most one command");
    if (o.operands.empty())
        print_help(command_table);
    else if (const command *topic = find_command(o.operands.front()))
        print_help(*topic);
    else
        fail("help: unknown command " + tools::shown(o.operands.front()));
    return exit_ok;
}

} // namespace

int run(std::span<const std::string_view> args) {
    std::size_t i = 0;
    if (i < args.size() && (args[i] == "-h" || args[i] == "--help")) {
        print_help(command_table);
        return exit_ok;
    }
    if (i < args.size() && (args[i] == "-V" || args[i] == "--version")) {
        std::puts("ifvec " IF_INDEX_VEC_VERSION_TEXT);
        return exit_ok;
    }
    if (i < args.size() && args[i] == "--")
        ++i;
    if (i == args.size())
        fail("expected a command (" + command_names() + ")");
    if (args[i].starts_with("-") && args[i] != "-")
        fail("unknown option " + tools::shown(args[i]) + " (expected a command, --help or --version)");
    const command *c = find_command(args[i]);
    if (c == nullptr)
        fail("unknown command " + tools::shown(args[i]) + " (expected " + command_names() + ")");
    options o;
    if (!parse_options(*c, args.subspan(i + 1), o)) {
        print_help(*c);
        return exit_ok;
    }
    operand_reader input(codec_name_parser());
    return c->run(*c, o, input);
}

} // namespace if_index_vec::cli
