// SPDX-License-Identifier: MIT
// ifvec: the commands.  Sets are combined with the library's own set
// algebra, one call per operand, and compared with its equality.
#include "commands.hpp"

#include "common.hpp"
#include "views.hpp"

#include <cstdio>
#include <string>
#include <vector>

namespace ifvec::cli {
namespace {

index_vector read_set(std::string_view operand, operand_reader &in) {
    set_builder b;
    in.read(operand, b);
    return b.vector();
}

void print_set(const index_vector &set, const options &o, unsigned default_views) {
    if (o.json)
        print_json(set);
    else
        show(set, o.views != 0 ? o.views : default_views);
}

} // namespace

int run_show(const command & /*c*/, const options &o, operand_reader &in) {
    if (o.operands.empty())
        fail("show: expected a set: interface names, if_indexes or range lists, or '-'");
    set_builder all;
    for (const std::string_view operand : o.operands)
        in.read(operand, all);
    print_set(all.vector(), o, names | ranges | hex | counts);
    return exit_ok;
}

int run_combine(const command &c, const options &o, operand_reader &in) {
    if (o.operands.empty())
        fail(std::string(c.name) + ": expected one or more sets");
    index_vector result = read_set(o.operands.front(), in);
    for (std::size_t i = 1; i < o.operands.size(); ++i)
        c.combine(result, read_set(o.operands[i], in));
    print_set(result, o, names);
    return exit_ok;
}

int run_equal(const command & /*c*/, const options &o, operand_reader &in) {
    if (o.operands.size() != 2)
        fail("equal: expected 2 sets, got " + std::to_string(o.operands.size()));
    const index_vector a = read_set(o.operands[0], in);
    const bool same = a == read_set(o.operands[1], in);
    if (!o.quiet)
        std::puts(same ? "equal" : "not equal");
    return same ? exit_ok : exit_false;
}

int run_present(const command & /*c*/, const options &o, operand_reader &in) {
    if (o.operands.size() < 2)
        fail("present: expected a set and at least one item to look for");
    const index_vector set = read_set(o.operands[0], in);
    const std::uint32_t single = set.raw().single_if_index;
    bool single_wanted = false;
    set_builder wanted([&](std::uint32_t if_index, std::uint32_t & /*slot*/) {
        single_wanted = single_wanted || (single != 0 && if_index == single);
        return std::string();
    });
    for (std::size_t i = 1; i < o.operands.size(); ++i)
        in.read(o.operands[i], wanted);
    index_vector found = set & wanted.vector(); // keeps set's single slot
    if (!single_wanted && single != 0)
        (void)found.erase(single);
    if (!o.quiet)
        for (const std::uint32_t x : found)
            std::puts(name_of(x).c_str());
    return found.empty() ? exit_false : exit_ok;
}

// The built-in example: each command as a user would type it, then what it
// prints, run through the same code as the command itself.  Its names are
// the codec's own, so that it runs with any codec; it holds no mgmt member,
// which no codec call builds.
int run_demo(const command & /*c*/, const options &o, operand_reader & /*in*/) {
    if (!o.operands.empty())
        fail("demo: takes no operands");
    const auto name = [](std::uint8_t code, int position) { return name_of(if_index_at(code, position)); };
    char fc_tunnel[16];
    std::snprintf(fc_tunnel, sizeof fc_tunnel, "0x%08x",
                  static_cast<unsigned>(if_index_at(IF_TYPE_FC_TUNNEL, 4095)));
    const std::string a = "phy_fc:0-2,5,7-8 " + name(IF_TYPE_PORT_CHANNEL, 0) + "-3 " +
                          name(IF_TYPE_PORT_CHANNEL, 9) + " " + name(IF_TYPE_ISCSI, 69) + " " +
                          name(IF_TYPE_FC_TUNNEL, 4095);
    const std::string b = name(IF_TYPE_PHY_FC, 1) + "-3 " + name(IF_TYPE_PHY_FC, 64) + " " +
                          name(IF_TYPE_PORT_CHANNEL, 9) + "-10 " + fc_tunnel;
    const std::string listed = name(IF_TYPE_PHY_FC, 0) + "-2 " + name(IF_TYPE_PORT_CHANNEL, 7);
    const std::string fc1 = name(IF_TYPE_PHY_FC, 1), fc64 = name(IF_TYPE_PHY_FC, 64);
    const std::vector<std::vector<std::string_view>> demo = {
        {"show", a},
        {"union", "--names", "--counts", a, b},
        {"intersect", "--ranges", a, b},
        {"subtract", "--ifindex", a, b},
        {"equal", a, b},
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

} // namespace ifvec::cli
