// ifvec: inspect and combine interface sets from the shell.
//
// Every set is built and every argument checked before anything is written,
// so bad input leaves standard output empty: one line on standard error
// names the argument and what was expected, and the exit status is 2.  The
// vectors themselves are libif_index_vec records; the views are the
// library's own print functions, so what ifvec shows is what a program that
// links the library would print.  Only the installed public headers are used.
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>
#include <if_index_vec/if_index_vector.hpp>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifndef IFVEC_VERSION
#define IFVEC_VERSION "unknown"
#endif

namespace {

using ifvec::index_vector;

constexpr int kExitOk = 0;
constexpr int kExitFalse = 1; // "not equal", "none present"
constexpr int kExitBadInput = 2;

constexpr std::string_view kUsage =
    "usage: ifvec [demo]\n"
    "       ifvec show [VIEW...] SET...\n"
    "       ifvec union|intersect|subtract [VIEW...] SET_A SET_B\n"
    "       ifvec equal SET_A SET_B\n"
    "       ifvec present SET ITEM...\n"
    "       ifvec --help | --version\n"
    "\n"
    "A SET is one argument of items separated by blanks, or '-' to read the\n"
    "items from standard input; show merges all its SET arguments.  An item is\n"
    "  an interface name        fc1/4  port-channel7  iscsi2/6  fc-tunnel4095  mgmt1\n"
    "  an if_index              16778240  0x01000300\n"
    "  a position range list    phy_fc:0-2,5,7-8  port_channel:0-3,9  iscsi:69\n"
    "                           fc_tunnel:4095  (positions as --ranges prints them;\n"
    "                           phy_fc and iscsi positions are slot*64+port)\n"
    "\n"
    "VIEW selects the output: --names (members by name), --ranges (decimal\n"
    "positions per type), --hex (bitmaps in hexadecimal), --counts (members\n"
    "per type).  show prints every view by default, the combining commands\n"
    "print --names.\n"
    "\n"
    "union, intersect and subtract combine the four bitmaps of SET_A with\n"
    "those of SET_B; the result keeps SET_A's mgmt member, whatever SET_B holds.\n"
    "equal prints 'equal' or 'not equal' and exits 0 or 1.  present prints\n"
    "each ITEM that SET holds, one name per line, and exits 1 when none is.\n"
    "Bad input exits 2 with a message on standard error.  With no arguments,\n"
    "or with 'demo', ifvec shows every output for a built-in example.\n";

// Bad input: reported as "ifvec: <message>", exit status 2.
struct bad_input : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void reject(const std::string &what, const std::string &why) {
    throw bad_input("'" + what + "': " + why);
}

const char *const kItemForms =
    "expected an interface name such as fc1/4 or port-channel7, an if_index such as "
    "0x01000300, or a range list such as port_channel:0-3,9";

// The bitmap types a range list may name, in canonical order.
struct bitmap_type {
    std::uint8_t code;
    std::uint32_t capacity;
    const char *limits; // the capacity in the words of the type's names
};
constexpr bitmap_type kBitmapTypes[] = {
    {IF_TYPE_PHY_FC, IF_INDEX_VECTOR_PHY_FC_POSITIONS, "slots 1-16, ports 1-64: fc1/1 to fc16/64"},
    {IF_TYPE_PORT_CHANNEL, IF_INDEX_VECTOR_PORT_CHANNEL_POSITIONS, "port-channel0 to port-channel255"},
    {IF_TYPE_ISCSI, IF_INDEX_VECTOR_ISCSI_POSITIONS, "slots 1-16, ports 1-64: iscsi1/1 to iscsi16/64"},
    {IF_TYPE_FC_TUNNEL, IF_INDEX_VECTOR_FC_TUNNEL_POSITIONS, "fc-tunnel0 to fc-tunnel4095"},
};

std::string keyword(std::uint8_t code) {
    const char *k = if_index_type_keyword(code);
    return k != nullptr ? k : "type" + std::to_string(code);
}

const bitmap_type *bitmap_type_of(std::uint8_t code) {
    for (const bitmap_type &t : kBitmapTypes)
        if (t.code == code)
            return &t;
    return nullptr;
}

std::string name_of(std::uint32_t if_index) {
    char buf[IF_INDEX_NAME_MAX];
    return std::string(buf, static_cast<std::size_t>(sprintf_if_index(buf, if_index)));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The if_index that a range list's position stands for: the codec's
// constructor of the type (slot = position / 64 and port = position % 64 for
// the two port types).
std::uint32_t at_position(std::uint8_t code, std::uint32_t pos) {
    std::uint32_t v = 0;
    switch (code) {
    case IF_TYPE_PHY_FC:
        if_index_phy_fc_port_init(&v, static_cast<std::uint8_t>(pos / 64),
                                  static_cast<std::uint8_t>(pos % 64), 0);
        break;
    case IF_TYPE_ISCSI:
        if_index_iscsi_port_init(&v, static_cast<std::uint8_t>(pos / 64),
                                 static_cast<std::uint8_t>(pos % 64));
        break;
    case IF_TYPE_PORT_CHANNEL:
        if_index_port_channel_init(&v, static_cast<std::uint16_t>(pos));
        break;
    default:
        if_index_fcmpls_tnnl_init(&v, static_cast<std::uint16_t>(pos));
        break;
    }
    return v;
}

// Checks that a vector can hold `v`: the codec classifies it, its type is
// held, and its position is within the type's capacity.  The library itself
// is the judge: a scratch record must take `v` and hand back the same
// if_index.  The round trip also refuses a port number of 64 or more, which
// the slot * 64 + port position would fold onto the next slot.
void check_holdable(const std::string &item, std::uint32_t v) {
    if_index_type_info_t info{};
    if (if_index_get_type(v, &info) != IF_INDEX_CODEC_OK)
        reject(item, "not an if_index the codec can classify");
    index_vector scratch;
    if (scratch.insert(v) != ifvec::status::bad_type && *scratch.begin() == v)
        return;
    if (const bitmap_type *t = bitmap_type_of(info.type))
        reject(item, "beyond the capacity of " + keyword(t->code) + " (" + t->limits + ")");
    reject(item, "type " + std::to_string(info.type) +
                     " is not held in a vector (held: phy_fc, port_channel, iscsi, fc_tunnel, mgmt)");
}

// An if_index written in decimal or as 0x followed by 1 to 8 hex digits.
std::uint32_t parse_if_index(const std::string &item) {
    std::uint64_t v = 0;
    if (item.size() >= 2 && item[0] == '0' && (item[1] == 'x' || item[1] == 'X')) {
        const std::string digits = item.substr(2);
        if (digits.empty())
            reject(item, "expected hex digits after 0x");
        if (digits.size() > 8)
            reject(item, "an if_index has at most 8 hex digits");
        for (char c : digits) {
            const int d = is_digit(c) ? c - '0'
                          : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                          : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                   : -1;
            if (d < 0)
                reject(item, std::string("unexpected '") + c + "' in a hex if_index");
            v = v * 16 + static_cast<std::uint64_t>(d);
        }
        return static_cast<std::uint32_t>(v);
    }
    if (item.size() > 1 && item[0] == '0')
        reject(item, "leading zero in a decimal if_index (write hex as 0x...)");
    for (char c : item) {
        if (!is_digit(c))
            reject(item, std::string("unexpected '") + c + "' in a decimal if_index");
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v > UINT32_MAX)
            reject(item, "an if_index is at most 4294967295 (0xffffffff)");
    }
    return static_cast<std::uint32_t>(v);
}

// One position of a range list: a decimal number without sign or leading
// zero, below the type's capacity.  Advances `p`.
std::uint32_t parse_position(const std::string &item, std::string_view list, std::size_t &p,
                             const bitmap_type &t) {
    const std::size_t start = p;
    std::uint64_t v = 0;
    while (p < list.size() && is_digit(list[p])) {
        v = v * 10 + static_cast<std::uint64_t>(list[p] - '0');
        v = v > UINT32_MAX ? UINT32_MAX : v;
        ++p;
    }
    if (p == start && p == list.size())
        reject(item, "the range list ends where a position is expected");
    if (p == start)
        reject(item, "expected a position (a decimal number) at '" + std::string(list.substr(start)) + "'");
    if (p - start > 1 && list[start] == '0')
        reject(item, "leading zero in position '" + std::string(list.substr(start, p - start)) + "'");
    if (v >= t.capacity)
        reject(item, "position " + std::string(list.substr(start, p - start)) + " is beyond the capacity of " +
                         keyword(t.code) + " (positions 0-" + std::to_string(t.capacity - 1) + ")");
    return static_cast<std::uint32_t>(v);
}

// "0-2,5,7-8" for bitmap type `t`: comma-separated positions and ranges.
std::vector<std::uint32_t> parse_range_list(const std::string &item, std::string_view list,
                                            const bitmap_type &t) {
    if (list.empty())
        reject(item, "empty range list after ':' (expected positions such as 0-3,9)");
    if (list.find_first_not_of(',') == std::string_view::npos)
        reject(item, "a lone comma is not a range list (expected positions such as 0-3,9)");
    std::vector<std::uint32_t> out;
    std::size_t p = 0;
    for (;;) {
        if (p == list.size() || list[p] == ',')
            reject(item, "empty item in the range list (a comma at the start or end, or two in a row)");
        const std::uint32_t lo = parse_position(item, list, p, t);
        std::uint32_t hi = lo;
        if (p < list.size() && list[p] == '-') {
            ++p;
            hi = parse_position(item, list, p, t);
            if (hi < lo)
                reject(item, "reversed range " + std::to_string(lo) + "-" + std::to_string(hi) +
                                 " (write the lower position first)");
        }
        for (std::uint32_t pos = lo; pos <= hi; ++pos)
            out.push_back(at_position(t.code, pos));
        if (p == list.size())
            return out;
        if (list[p] != ',')
            reject(item, "unexpected '" + std::string(list.substr(p)) + "' after position " +
                             std::to_string(hi) + " (expected ',' or the end)");
        ++p;
    }
}

// The if_indexes one item stands for, each checked to fit a vector.
std::vector<std::uint32_t> parse_item(const std::string &item) {
    if (is_digit(item[0])) {
        const std::uint32_t v = parse_if_index(item);
        check_holdable(item, v);
        return {v};
    }
    const std::size_t colon = item.find(':');
    if (colon != std::string::npos && item.compare(0, 4, "type") != 0) {
        const std::string word = item.substr(0, colon);
        for (const bitmap_type &t : kBitmapTypes)
            if (word == keyword(t.code))
                return parse_range_list(item, std::string_view(item).substr(colon + 1), t);
        if (word == keyword(IF_TYPE_SINGLE))
            reject(item, "mgmt is a single slot, not a range of positions: give it by name, e.g. mgmt1");
        reject(item, "unknown type keyword '" + word + "' (expected phy_fc, port_channel, iscsi or fc_tunnel)");
    }
    std::uint32_t v = 0;
    switch (if_index_parse(item.c_str(), &v)) {
    case IF_INDEX_CODEC_OK:
        break;
    case IF_INDEX_CODEC_ERANGE:
        reject(item, "a number in the name is out of range for its field");
    default:
        reject(item, std::string("unknown interface name; ") + kItemForms);
    }
    check_holdable(item, v);
    return {v};
}

// Splits arguments into items; '-' reads the items from standard input once.
class item_source {
public:
    std::vector<std::string> items_of(const std::string &arg) {
        std::string text = arg;
        if (arg == "-") {
            if (stdin_read_)
                reject(arg, "standard input can be read only once");
            stdin_read_ = true;
            text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        }
        std::istringstream in(text);
        std::vector<std::string> out{std::istream_iterator<std::string>(in),
                                     std::istream_iterator<std::string>()};
        if (out.empty() && arg != "-")
            reject(arg, std::string("empty argument; ") + kItemForms);
        return out;
    }

private:
    bool stdin_read_ = false;
};

// Adds every item of `args` to `set`.  A set holds at most one mgmt member,
// so a second, different one is refused instead of silently replacing it.
void add_items(index_vector &set, item_source &src, const std::vector<std::string> &args) {
    for (const std::string &arg : args)
        for (const std::string &item : src.items_of(arg))
            for (const std::uint32_t v : parse_item(item)) {
                if (set.count(ifvec::if_type::single) != 0 && !set.contains(v)) {
                    if_index_type_info_t info{};
                    if (if_index_get_type(v, &info) == IF_INDEX_CODEC_OK && info.type == IF_TYPE_SINGLE)
                        reject(item, "a set holds one mgmt interface and already has " +
                                         name_of(set.raw().single_if_index));
                }
                (void)set.insert(v); // check_holdable has made sure it fits
            }
}

index_vector build_set(item_source &src, const std::vector<std::string> &args) {
    index_vector set;
    add_items(set, src, args);
    return set;
}

enum view : unsigned { names = 1, ranges = 2, hex = 4, counts = 8, all = 15 };

void print_counts(const index_vector &set) {
    for (const bitmap_type &t : kBitmapTypes)
        std::printf("%-13s %u\n", keyword(t.code).c_str(),
                    static_cast<unsigned>(set.count(static_cast<ifvec::if_type>(t.code))));
    std::printf("%-13s %u\n", keyword(IF_TYPE_SINGLE).c_str(),
                static_cast<unsigned>(set.count(ifvec::if_type::single)));
    std::printf("%-13s %u\n", "total", static_cast<unsigned>(set.size()));
}

// Prints the chosen views; each gets a heading when more than one is shown.
void show(const index_vector &set, unsigned views) {
    const bool headed = (views & (views - 1)) != 0;
    const auto section = [&](view v, const char *heading, void (*print)(const if_index_vector_t *)) {
        if ((views & v) == 0)
            return;
        if (headed)
            std::printf("%s:\n", heading);
        if (set.empty())
            std::puts("(empty)");
        else
            print(set.c_ptr());
    };
    section(names, "names", if_index_vector_printf);
    section(ranges, "ranges", if_index_vector_printf_dec);
    section(hex, "hex", if_index_vector_printf_hex);
    if ((views & counts) != 0) {
        if (headed)
            std::puts("counts:");
        print_counts(set);
    }
}

// Splits `args` into view options and operands; any other option is refused.
unsigned take_views(std::vector<std::string> &args) {
    unsigned views = 0;
    std::vector<std::string> operands;
    for (const std::string &a : args) {
        if (a == "--names")
            views |= names;
        else if (a == "--ranges")
            views |= ranges;
        else if (a == "--hex")
            views |= hex;
        else if (a == "--counts")
            views |= counts;
        else if (a.size() > 1 && a[0] == '-')
            reject(a, "unknown option (expected --names, --ranges, --hex or --counts)");
        else
            operands.push_back(a);
    }
    args = operands;
    return views;
}

void expect_operands(const std::string &cmd, const std::vector<std::string> &args, std::size_t n) {
    if (args.size() != n)
        reject(cmd, "expected " + std::to_string(n) + " sets, each one argument (quote a set of " +
                        "several items), got " + std::to_string(args.size()));
}

// The combining commands: the compound operators of index_vector, which
// keep the left operand's single slot.
struct combine_command {
    const char *name;
    index_vector &(index_vector::*apply)(const index_vector &) noexcept;
};
constexpr combine_command kCombineCommands[] = {
    {"union", &index_vector::operator|=},
    {"intersect", &index_vector::operator&=},
    {"subtract", &index_vector::operator-=},
};

index_vector combine(index_vector a, const index_vector &b, const combine_command &c) {
    return (a.*c.apply)(b);
}

// Prints each candidate that `set` holds, once, in the order given; returns
// whether any was printed.
bool print_present(const index_vector &set, const std::vector<std::uint32_t> &candidates) {
    index_vector listed;
    for (const std::uint32_t v : candidates)
        if (set.contains(v) && !listed.contains(v)) {
            (void)listed.insert(v);
            std::puts(name_of(v).c_str());
        }
    return !listed.empty();
}

// The built-in example that `ifvec demo` shows.
constexpr const char *kDemoA =
    "phy_fc:0-2,5,7-8 port_channel:0-3,9 iscsi2/6 fc-tunnel4095 mgmt1";
constexpr const char *kDemoB = "fc1/2 fc1/3 fc2/1 port-channel9 port-channel10 fc-tunnel4095 mgmt2";
constexpr const char *kDemoProbe[] = {"fc1/2", "fc2/1", "port-channel3", "mgmt1"};

int demo() {
    item_source src;
    const index_vector a = build_set(src, {kDemoA});
    const index_vector b = build_set(src, {kDemoB});
    std::vector<std::uint32_t> probe;
    for (const char *item : kDemoProbe)
        probe.push_back(parse_item(item).front());

    std::printf("A built-in example: two sets, A and B.  Each command below shows the\n"
                "same output as running it yourself.\n\n");
    std::printf("$ ifvec show '%s'\n", kDemoA);
    show(a, all);
    for (const combine_command &c : kCombineCommands) {
        std::printf("\n$ ifvec %s --names --counts '%s' '%s'\n", c.name, kDemoA, kDemoB);
        show(combine(a, b, c), names | counts);
    }
    std::printf("\n$ ifvec equal '%s' '%s'\n", kDemoA, kDemoB);
    std::puts(a == b ? "equal" : "not equal");
    std::printf("\n$ ifvec present '%s'", kDemoA);
    for (const char *item : kDemoProbe)
        std::printf(" %s", item);
    std::printf("\n");
    print_present(a, probe);
    return kExitOk;
}

int run(std::vector<std::string> args) {
    if (args.empty())
        return demo();
    for (const std::string &a : args) {
        if (a == "--help" || a == "-h") {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return kExitOk;
        }
        if (a == "--version") {
            std::puts("ifvec " IFVEC_VERSION);
            return kExitOk;
        }
    }
    const std::string cmd = args.front();
    args.erase(args.begin());
    if (cmd == "demo") {
        if (!args.empty())
            reject(args.front(), "demo takes no arguments");
        return demo();
    }
    item_source src;
    if (cmd == "show") {
        const unsigned views = take_views(args);
        if (args.empty())
            reject(cmd, "expected a set: interface names, if_indexes or range lists, or '-'");
        show(build_set(src, args), views != 0 ? views : all);
        return kExitOk;
    }
    for (const combine_command &c : kCombineCommands)
        if (cmd == c.name) {
            const unsigned views = take_views(args);
            expect_operands(cmd, args, 2);
            const index_vector a = build_set(src, {args[0]});
            const index_vector b = build_set(src, {args[1]});
            show(combine(a, b, c), views != 0 ? views : names);
            return kExitOk;
        }
    if (cmd == "equal") {
        if (take_views(args) != 0)
            reject(cmd, "equal takes no view options");
        expect_operands(cmd, args, 2);
        const index_vector a = build_set(src, {args[0]});
        const index_vector b = build_set(src, {args[1]});
        std::puts(a == b ? "equal" : "not equal");
        return a == b ? kExitOk : kExitFalse;
    }
    if (cmd == "present") {
        if (take_views(args) != 0)
            reject(cmd, "present takes no view options");
        if (args.size() < 2)
            reject(cmd, "expected a set and at least one item to look for");
        const index_vector set = build_set(src, {args[0]});
        std::vector<std::uint32_t> candidates;
        for (std::size_t i = 1; i < args.size(); ++i)
            for (const std::string &item : src.items_of(args[i]))
                for (const std::uint32_t v : parse_item(item))
                    candidates.push_back(v);
        return print_present(set, candidates) ? kExitOk : kExitFalse;
    }
    reject(cmd, "unknown command (expected show, union, intersect, subtract, equal, present, "
                "demo, --help or --version)");
}

} // namespace

int main(int argc, char **argv) {
    try {
        const int rc = run(std::vector<std::string>(argv + 1, argv + argc));
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fputs("ifvec: error writing standard output\n", stderr);
            return kExitBadInput;
        }
        return rc;
    } catch (const bad_input &e) {
        std::fprintf(stderr, "ifvec: %s\n", e.what());
        return kExitBadInput;
    }
}
