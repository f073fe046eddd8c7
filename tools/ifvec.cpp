// SPDX-License-Identifier: MIT
// ifvec: inspect and combine interface sets from the shell.
//
// Every operand is read and checked before anything is written, so an error
// leaves standard output empty.  The sets themselves are libif_index_vec
// records and the list views are the library's own print functions, so what
// ifvec shows is what a program that links the library would print.  The
// facts about the held types, and the text forms of positions and names,
// come from <if_index_vec/if_index_text.hpp>; only installed public headers
// are used.
//
// Input of any size is read in bounded memory: standard input line by line,
// and every range, whether a range list's run or a name range, is set in a
// bitset word by word, never expanded into a list of members.
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_vector.h>
#include <if_index_vec/if_index_vector.hpp>

#include <nlohmann/json.hpp>

#include <array>
#include <bitset>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifndef IF_INDEX_VEC_VERSION_TEXT
#define IF_INDEX_VEC_VERSION_TEXT "unknown"
#endif

namespace {

using ifvec::index_vector;
using ifvec::named_members;
using ifvec::text_errc;

enum exit_status : int {
    exit_ok = 0,
    exit_false = 1,     // "not equal", "none present"
    exit_bad_input = 2, // usage errors and bad input
    exit_read = 3,      // standard input could not be read
    exit_write = 4,     // standard output could not be written
};

constexpr std::string_view kHint = "Try 'ifvec --help' for more information.";

// Every error: main prints "ifvec: MESSAGE" and exits with `status`.
struct failure {
    int status;
    std::string message;
};
[[noreturn]] void fail(std::string message, int status = exit_bad_input) {
    throw failure{status, std::move(message)};
}

// A token as a message shows it: quoted, at most its first 40 bytes, and
// every byte that is not printable ASCII escaped, so that input never
// reaches the terminal as it is.
std::string shown(std::string_view token) {
    constexpr std::size_t kShownBytes = 40;
    std::string out = "'";
    for (const char ch : token.substr(0, kShownBytes)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\\' || c == '\'')
            out += {'\\', ch};
        else if (c >= 0x20 && c < 0x7F)
            out += ch;
        else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02x", static_cast<unsigned>(c));
            out += esc;
        }
    }
    return out + (token.size() > kShownBytes ? "...'" : "'");
}

std::string name_of(std::uint32_t if_index) {
    char buf[ifvec::name_buffer_size];
    return ifvec::name_into(buf, if_index);
}

constexpr std::size_t kRows = ifvec::bitmap_types.size();

int row_of(std::uint8_t code) {
    for (std::size_t r = 0; r < kRows; ++r)
        if (ifvec::bitmap_types[r].code == code)
            return static_cast<int>(r);
    return -1;
}

std::string held_keywords() {
    std::string s;
    for (const auto &t : ifvec::bitmap_types)
        s.append(t.keyword).append(", ");
    return s.append(ifvec::single_type.keyword);
}

// "(fc1/1 to fc16/64, 64 ports per slot)": the limits of a type in the
// codec's names.
std::string limits(const ifvec::bitmap_type &t) {
    std::string s = "(" + name_of(ifvec::if_index_at(t.code, 0)) + " to " +
                    name_of(ifvec::if_index_at(t.code, t.capacity - 1));
    if (t.slot_port)
        s += ", " + std::to_string(ifvec::ports_per_slot) + " ports per slot";
    return s + ")";
}

// ---- sets under construction -------------------------------------------

using row_bits = std::bitset<ifvec::max_capacity>;

// The members read so far: one bitset per bitmap type, and the single slot.
struct member_bits {
    std::array<row_bits, kRows> rows;
    std::uint32_t single = 0;
};

// Sets positions lo..hi: a few word operations, whatever the run spans.
void set_run(row_bits &b, int lo, int hi) {
    b |= (~row_bits{} >> static_cast<std::size_t>(ifvec::max_capacity - 1 - (hi - lo)))
         << static_cast<std::size_t>(lo);
}

index_vector bitmaps_of(const member_bits &m) {
    index_vector v;
    for (std::size_t r = 0; r < kRows; ++r) {
        const ifvec::bitmap_type &t = ifvec::bitmap_types[r];
        for (int p = 0; p < t.capacity; ++p)
            if (m.rows[r].test(static_cast<std::size_t>(p)))
                (void)v.insert(ifvec::if_index_at(t.code, p)); // below the capacity: always held
    }
    return v;
}

index_vector vector_of(const member_bits &m) {
    index_vector v = bitmaps_of(m);
    if (m.single != 0)
        (void)v.insert(m.single); // checked by check_storable
    return v;
}

// ---- reading items -----------------------------------------------------

// Called with each item's members; returns why they are refused, or "".
using member_fn = std::function<std::string(const named_members &)>;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool is_keyword_char(char c) { return (c >= 'a' && c <= 'z') || c == '_'; }

// Reads the items of one set, line by line, from arguments or standard
// input.  Besides items separated by blanks and commas, a line may be one
// that --ranges prints: the member count (skipped) or a type's range list.
class item_reader {
public:
    item_reader(std::string where, member_fn on_members)
        : where_(std::move(where)), on_members_(std::move(on_members)) {}

    void line(std::string_view text) {
        ++line_no_;
        if (text.ends_with('\r')) // a CRLF line end
            text.remove_suffix(1);
        if (text.starts_with(ifvec::dump_count_header)) {
            const std::string_view n = text.substr(ifvec::dump_count_header.size());
            if (n.empty() || n.find_first_not_of("0123456789") != std::string_view::npos)
                bad(text, "expected the member count after '" + std::string(ifvec::dump_count_header) + "'");
            return;
        }
        for (const ifvec::bitmap_type &t : ifvec::bitmap_types)
            if (text.starts_with(t.dump_header)) {
                range_list(text, t.dump_header.size(), t);
                after_item_ = true;
                comma_last_ = false;
                return;
            }
        std::size_t i = 0;
        for (;;) {
            while (i < text.size() && is_blank(text[i]))
                ++i;
            if (i == text.size())
                return;
            if (text[i] == ',') {
                if (!after_item_)
                    bad(text.substr(i), "empty item (a comma at the start or end of a set, or two in a row)");
                after_item_ = false;
                comma_last_ = true;
                ++i;
                continue;
            }
            // A range list runs to the next blank, any other item to a blank or comma.
            std::size_t end = i;
            while (end < text.size() && is_keyword_char(text[end]))
                ++end;
            const bool is_list = end > i && end < text.size() && text[end] == ':';
            while (end < text.size() && !is_blank(text[end]) && (is_list || text[end] != ','))
                ++end;
            item(text.substr(i, end - i));
            i = end;
        }
    }

    // The end of the set: a comma there is an empty item.
    void finish() const {
        if (comma_last_)
            bad(",", "empty item (a comma at the start or end of a set, or two in a row)");
    }

private:
    [[noreturn]] void bad(std::string_view token, const std::string &why) const {
        fail(where_ + (where_.empty() ? "" : std::to_string(line_no_) + ": ") + shown(token) + ": " + why);
    }

    void accept(std::string_view token, const named_members &m) {
        if (const std::string why = on_members_(m); !why.empty())
            bad(token, why);
        after_item_ = true;
        comma_last_ = false;
    }

    void item(std::string_view token) {
        const std::size_t colon = token.find(':');
        if (colon != std::string_view::npos && colon > 0 &&
            std::ranges::all_of(token.substr(0, colon), is_keyword_char)) {
            const std::string_view word = token.substr(0, colon);
            for (const ifvec::bitmap_type &t : ifvec::bitmap_types)
                if (word == t.keyword) {
                    if (colon + 1 == token.size())
                        bad(token, "empty range list after ':' (expected positions such as 0-3,9)");
                    return range_list(token, colon + 1, t);
                }
            if (word == ifvec::single_type.keyword)
                bad(token,
                    std::string(word) + " is a single slot, not a range of positions: give it by name");
            std::string kinds;
            for (const ifvec::bitmap_type &t : ifvec::bitmap_types)
                kinds.append(kinds.empty() ? "" : ", ").append(t.keyword);
            bad(token, "unknown type keyword '" + std::string(word) + "' (expected " + kinds + ")");
        }
        named_members m = token[0] >= '0' && token[0] <= '9' ? ifvec::check_storable(if_index(token))
                                                             : ifvec::parse_name_range(token, codec_parse);
        if (m.error)
            bad(token, explain(m));
        accept(token, m);
    }

    static bool codec_parse(const char *name, std::uint32_t *if_index) {
        return if_index_parse(name, if_index) == IF_INDEX_CODEC_OK;
    }

    // The range list at text[at...] of type `t`; offsets in messages count
    // from the start of `text`.
    void range_list(std::string_view text, std::size_t at, const ifvec::bitmap_type &t) {
        named_members run;
        run.type = t.code;
        std::string why;
        const ifvec::text_error e = ifvec::parse_range_list(text.substr(at), t.capacity, [&](int lo, int hi) {
            run.first = lo;
            run.last = hi;
            if (why.empty())
                why = on_members_(run);
        });
        if (e)
            bad(text, list_error(e, at, t, text.substr(at)));
        if (!why.empty())
            bad(text, why);
    }

    static std::string list_error(ifvec::text_error e, std::size_t at, const ifvec::bitmap_type &t,
                                  std::string_view list) {
        std::string s = std::string(describe(e.code)) + " at offset " + std::to_string(at + e.offset);
        switch (e.code) {
        case text_errc::empty_item: return s + " (a comma at the start or end, or two in a row)";
        case text_errc::reversed_range: return s + " (write the lower position first)";
        case text_errc::beyond_capacity:
            return "position beyond the capacity of " + std::string(t.keyword) + " at offset " +
                   std::to_string(at + e.offset) + " (positions 0-" + std::to_string(t.capacity - 1) + ")";
        case text_errc::overflow:
        case text_errc::invalid_character:
            if (list.size() == static_cast<std::size_t>(t.capacity) / 4 &&
                list.find_first_not_of("0123456789abcdef") == std::string_view::npos)
                return s + " (the --hex dump is not read back: use --ranges)";
            return s + " (expected positions such as 0-3,9)";
        default: return s;
        }
    }

    static std::string explain(const named_members &m) {
        std::string at = m.error.offset != 0 ? " at offset " + std::to_string(m.error.offset) : "";
        const ifvec::bitmap_type *t = ifvec::find_bitmap_type(m.type);
        switch (m.error.code) {
        case text_errc::unknown_name:
            return "unknown interface name" + at + (at.empty() ? "" : " (the range's last name)") +
                   "; expected a name such as fc1/4 or port-channel7, a name range such as fc1/1-4, an "
                   "if_index such as 0x01000300, or a range list such as port_channel:0-3,9";
        case text_errc::not_held:
            return "type " + std::to_string(m.type) + " is not held in a vector (held: " + held_keywords() +
                   ")";
        case text_errc::beyond_capacity:
            return "beyond the capacity of " + std::string(t->keyword) + at + " " + limits(*t);
        case text_errc::reversed_range: return "reversed range" + at + " (write the lower end first)";
        case text_errc::single_range:
            return "range" + at + " of a single-slot type (" + std::string(ifvec::single_type.keyword) +
                   " holds one interface)";
        default: return std::string(describe(m.error.code)) + at;
        }
    }

    // An if_index written in decimal or as 0x and 1 to 8 hex digits.
    [[nodiscard]] std::uint32_t if_index(std::string_view item) const {
        std::uint64_t v = 0;
        if (item.size() >= 2 && item[0] == '0' && (item[1] == 'x' || item[1] == 'X')) {
            const std::string_view digits = item.substr(2);
            if (digits.empty())
                bad(item, "expected hex digits after 0x");
            if (digits.size() > 8)
                bad(item, "an if_index has at most 8 hex digits");
            for (const char c : digits) {
                const std::size_t d = std::string_view("0123456789abcdef")
                                          .find(c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c);
                if (d == std::string_view::npos)
                    bad(item, "unexpected " + shown({&c, 1}) + " in a hex if_index");
                v = v * 16 + d;
            }
            return static_cast<std::uint32_t>(v);
        }
        if (item.size() > 1 && item[0] == '0')
            bad(item, "leading zero in a decimal if_index (write hex as 0x...)");
        for (const char c : item) {
            if (c < '0' || c > '9')
                bad(item, "unexpected " + shown({&c, 1}) + " in a decimal if_index");
            v = v * 10 + static_cast<std::uint64_t>(c - '0');
            if (v > UINT32_MAX)
                bad(item, "an if_index is at most 4294967295 (0xffffffff)");
        }
        return static_cast<std::uint32_t>(v);
    }

    std::string where_;
    member_fn on_members_;
    std::size_t line_no_ = 0;
    bool after_item_ = false; // an item, and no comma after it, since the start
    bool comma_last_ = false; // the last thing read was a comma
};

// Feeds operands to item readers; '-' is standard input, read once.
class operand_reader {
public:
    void read(const std::string &arg, const member_fn &on_members) {
        if (arg != "-") {
            item_reader r("", on_members);
            for (std::size_t start = 0;;) {
                const std::size_t nl = arg.find('\n', start);
                r.line(std::string_view(arg).substr(start, nl - start));
                if (nl == std::string::npos)
                    break;
                start = nl + 1;
            }
            return r.finish();
        }
        if (stdin_read_)
            fail("'-': standard input can be read only once");
        stdin_read_ = true;
        read_stdin(item_reader("-:", on_members));
    }

private:
    // Bytes, not C strings: a NUL byte is an error, not the end of a line.
    static void read_stdin(item_reader reader) {
        std::string pending; // an incomplete last line
        std::vector<char> buf(1 << 16);
        std::size_t offset = 0; // of the first byte of `pending` in the input
        for (;;) {
            const std::size_t n = std::fread(buf.data(), 1, buf.size(), stdin);
            if (const void *nul = std::memchr(buf.data(), '\0', n))
                fail("-: NUL byte at offset " +
                     std::to_string(offset + pending.size() +
                                    static_cast<std::size_t>(static_cast<const char *>(nul) - buf.data())));
            std::size_t done = 0; // bytes of `pending` already fed as lines
            std::size_t search = pending.size();
            pending.append(buf.data(), n);
            for (std::size_t nl; (nl = pending.find('\n', search)) != std::string::npos; search = done) {
                reader.line(std::string_view(pending).substr(done, nl - done));
                done = nl + 1;
            }
            pending.erase(0, done);
            offset += done;
            if (n < buf.size())
                break;
        }
        if (std::ferror(stdin))
            fail(std::string("-: read error: ") + std::strerror(errno), exit_read);
        if (!pending.empty())
            reader.line(pending);
        reader.finish();
    }

    bool stdin_read_ = false;
};

// Adds the members of an item to `m`.  A set holds at most one single-slot
// member, so a second, different one is refused instead of replacing it.
member_fn adder(member_bits &m) {
    return [&m](const named_members &n) -> std::string {
        if (n.type != ifvec::single_type.code) {
            set_run(m.rows[static_cast<std::size_t>(row_of(n.type))], n.first, n.last);
            return "";
        }
        if (m.single != 0 && m.single != n.if_index)
            return "a set holds one " + std::string(ifvec::single_type.keyword) +
                   " interface and already has " + name_of(m.single);
        m.single = n.if_index;
        return "";
    };
}

// ---- output ------------------------------------------------------------

enum view : unsigned { names = 1, ranges = 2, ifindex = 4, hex = 8, counts = 16 };

void print_counts(const index_vector &set) {
    for (const ifvec::bitmap_type &t : ifvec::bitmap_types)
        std::printf("%-13.*s %u\n", static_cast<int>(t.keyword.size()), t.keyword.data(),
                    static_cast<unsigned>(set.count(static_cast<ifvec::if_type>(t.code))));
    std::printf("%-13.*s %u\n", static_cast<int>(ifvec::single_type.keyword.size()),
                ifvec::single_type.keyword.data(), static_cast<unsigned>(set.count(ifvec::if_type::single)));
    std::printf("%-13s %u\n", "total", static_cast<unsigned>(set.size()));
}

// The decimal dump, and the single-slot member's name, which the dump
// counts but does not list, on a line of its own.
void print_ranges(const if_index_vector_t *rec) {
    if_index_vector_printf_dec(rec);
    if (rec->single_if_index != 0)
        std::puts(name_of(rec->single_if_index).c_str());
}

void print_ifindexes(const if_index_vector_t *rec) {
    for (const std::uint32_t x : index_vector(*rec))
        std::printf("0x%08x\n", static_cast<unsigned>(x));
}

void print_json(const index_vector &set) {
    using json = nlohmann::ordered_json;
    json counts, ranges, members = json::array();
    std::array<std::vector<int>, kRows> positions;
    for (const std::uint32_t x : set) {
        members.push_back({{"name", name_of(x)}, {"if_index", x}});
        const std::uint8_t type = ifvec::classify(x).type;
        if (const int r = row_of(type); r >= 0)
            positions[static_cast<std::size_t>(r)].push_back(ifvec::position_of(type, x));
    }
    for (std::size_t r = 0; r < kRows; ++r) {
        const ifvec::bitmap_type &t = ifvec::bitmap_types[r];
        counts[std::string(t.keyword)] = positions[r].size();
        ranges[std::string(t.keyword)] = ifvec::format_range_list(positions[r]);
    }
    counts[std::string(ifvec::single_type.keyword)] = set.count(ifvec::if_type::single);
    counts["total"] = set.size();
    const json out = {{"counts", counts}, {"ranges", ranges}, {"members", members}};
    std::puts(out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
}

// Prints the chosen views; each gets a heading when more than one is shown,
// and then an empty list shows as "(empty)".
void show(const index_vector &set, unsigned views) {
    const bool headed = (views & (views - 1)) != 0;
    const auto section = [&](view v, const char *heading, void (*print)(const if_index_vector_t *)) {
        if ((views & v) == 0)
            return;
        if (headed)
            std::printf("%s:\n", heading);
        if (headed && set.empty())
            std::puts("(empty)");
        else
            print(set.c_ptr());
    };
    section(names, "names", if_index_vector_printf);
    section(ranges, "ranges", print_ranges);
    section(ifindex, "ifindex", print_ifindexes);
    section(hex, "hex", if_index_vector_printf_hex);
    if ((views & counts) != 0) {
        if (headed)
            std::puts("counts:");
        print_counts(set);
    }
}

// ---- commands and options ----------------------------------------------

enum takes : unsigned { takes_views = 1, takes_quiet = 2 };

struct options {
    std::string_view command;
    unsigned views = 0;
    bool json = false;
    bool quiet = false;
    std::vector<std::string> operands;
};

struct command {
    std::string_view name;
    std::string_view synopsis;
    std::string_view help;
    unsigned takes;
    int (*run)(const options &);
};

constexpr std::string_view kViewOptions = "--names, --ranges, --ifindex, --hex, --counts, --format=FORMAT";

int run_show(const options &o);
int run_combine(const options &o);
int run_equal(const options &o);
int run_present(const options &o);
int run_demo(const options &o);

constexpr command kCommands[] = {
    {"show", "show [VIEW...] [--format=FORMAT] SET...",
     "Shows the set of all the SETs' items: every view but --ifindex by default.\n", takes_views, run_show},
    {"union", "union [VIEW...] [--format=FORMAT] SET...",
     "Shows the union of the SETs, taken left to right (--names by default).\n"
     "The result keeps the first SET's mgmt member, whatever the others hold.\n",
     takes_views, run_combine},
    {"intersect", "intersect [VIEW...] [--format=FORMAT] SET...",
     "Shows the intersection of the SETs, taken left to right (--names by\n"
     "default).  The result keeps the first SET's mgmt member.\n",
     takes_views, run_combine},
    {"subtract", "subtract [VIEW...] [--format=FORMAT] SET...",
     "Shows the first SET less each of the others, left to right (--names by\n"
     "default).  The result keeps the first SET's mgmt member.\n",
     takes_views, run_combine},
    {"equal", "equal [-q] SET_A SET_B",
     "Prints 'equal' and exits 0 when the sets hold the same members, else\n"
     "prints 'not equal' and exits 1.  -q, --quiet: print nothing.\n",
     takes_quiet, run_equal},
    {"present", "present [-q] SET ITEMS...",
     "Prints the members of SET that the ITEMS name, one name per line in\n"
     "canonical order; exits 1 when there is none.  -q, --quiet: print nothing.\n",
     takes_quiet, run_present},
    {"demo", "demo", "Shows every command's output for a built-in example.\n", 0, run_demo},
    {"help", "help [COMMAND]", "Shows this help, or a command's.\n", 0, nullptr},
};

constexpr std::string_view kHelpBody =
    "\n"
    "A SET is one argument, or '-' for standard input (read once), holding\n"
    "items separated by blanks, newlines or commas.  An item is\n"
    "  an interface name   fc1/4  port-channel7  iscsi2/6  fc-tunnel4095  mgmt1\n"
    "  a name range        fc1/1-4  port-channel1-5  (through the name whose last\n"
    "                      number is given; ports stay within their slot)\n"
    "  an if_index         16778240  0x01000300\n"
    "  a range list        phy_fc:0-2,5,7-8  port_channel:0-3,9  iscsi:69\n"
    "                      fc_tunnel:4095  (positions; phy_fc and iscsi\n"
    "                      positions are slot*64+port; runs to the next blank)\n"
    "A line may also be one that --ranges prints: 'No. of interfaces: N'\n"
    "(skipped) or 'PHY_FC interfaces: 0-2,5'.  So the output of --names,\n"
    "--ranges and --ifindex reads back as the same set.\n"
    "\n"
    "Views: --names (members by name), --ranges (positions per type, as the\n"
    "decimal dump prints them, then the mgmt member), --ifindex (one hex\n"
    "if_index per line), --hex (the bitmaps in hex; not read back), --counts\n"
    "(members per type).  --format=json prints counts, range lists and\n"
    "members (name and if_index) as one JSON object instead.\n"
    "\n"
    "Options: -h, --help  this help (after a command: its help)\n"
    "         -V, --version  the version\n"
    "         --  ends the options: what follows is operands\n"
    "\n"
    "Exit status: 0 success, or true; 1 false ('not equal', none present);\n"
    "2 usage error or bad input; 3 standard input could not be read;\n"
    "4 standard output could not be written.\n";

void print_usage(std::FILE *to) {
    std::fputs("usage: ifvec [-h | --help | -V | --version]\n", to);
    for (const command &c : kCommands)
        std::fprintf(to, "       ifvec %.*s\n", static_cast<int>(c.synopsis.size()), c.synopsis.data());
}

const command *find_command(std::string_view name) {
    for (const command &c : kCommands)
        if (c.name == name)
            return &c;
    return nullptr;
}

int print_help(const command *c) {
    if (c == nullptr) {
        print_usage(stdout);
        std::fputs(kHelpBody.data(), stdout);
    } else {
        std::printf("usage: ifvec %.*s\n\n%.*s", static_cast<int>(c->synopsis.size()), c->synopsis.data(),
                    static_cast<int>(c->help.size()), c->help.data());
        if ((c->takes & takes_views) != 0)
            std::printf("Views: %.*s (see 'ifvec --help').\n", static_cast<int>(kViewOptions.size()),
                        kViewOptions.data());
    }
    return exit_ok;
}

// Options and operands of `c`, in any order; "--" ends the options.  Returns
// false when -h or --help asks for the command's help.
bool parse_options(const command &c, std::span<const std::string> args, options &o) {
    bool only_operands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (only_operands || a == "-" || !a.starts_with("-")) {
            o.operands.push_back(a);
            continue;
        }
        constexpr std::pair<std::string_view, view> kViews[] = {{"--names", names},
                                                                {"--ranges", ranges},
                                                                {"--ifindex", ifindex},
                                                                {"--hex", hex},
                                                                {"--counts", counts}};
        const auto v = std::ranges::find(kViews, a, &std::pair<std::string_view, view>::first);
        if (a == "--")
            only_operands = true;
        else if (a == "-h" || a == "--help")
            return false;
        else if ((c.takes & takes_quiet) != 0 && (a == "-q" || a == "--quiet"))
            o.quiet = true;
        else if ((c.takes & takes_views) != 0 && v != std::end(kViews))
            o.views |= v->second;
        else if ((c.takes & takes_views) != 0 && (a == "--format" || a.starts_with("--format="))) {
            if (a == "--format" && i + 1 == args.size())
                fail("option '--format' needs a value (text or json)");
            const std::string value = a == "--format" ? args[++i] : a.substr(9);
            if (value != "json" && value != "text")
                fail("unknown format " + shown(value) + " (expected text or json)");
            o.json = value == "json";
        } else {
            std::string takes = (c.takes & takes_views) != 0   ? std::string(kViewOptions)
                                : (c.takes & takes_quiet) != 0 ? "-q, --quiet"
                                                               : "no option";
            fail("unknown option " + shown(a) + " for " + std::string(c.name) + " (it takes " + takes + ")");
        }
    }
    if (o.json && o.views != 0)
        fail("--format=json takes no view option: it holds them all");
    return true;
}

operand_reader g_input; // '-' may be read once per run, whichever command reads it

index_vector read_set(const std::string &arg) {
    member_bits m;
    g_input.read(arg, adder(m));
    return vector_of(m);
}

void print_set(const index_vector &set, const options &o, unsigned default_views) {
    if (o.json)
        print_json(set);
    else
        show(set, o.views != 0 ? o.views : default_views);
}

int run_show(const options &o) {
    if (o.operands.empty())
        fail("show: expected a set: interface names, if_indexes or range lists, or '-'");
    member_bits m;
    for (const std::string &arg : o.operands)
        g_input.read(arg, adder(m));
    print_set(vector_of(m), o, names | ranges | hex | counts);
    return exit_ok;
}

int run_combine(const options &o) {
    if (o.operands.empty())
        fail(std::string(o.command) + ": expected one or more sets");
    index_vector result = read_set(o.operands.front());
    for (std::size_t i = 1; i < o.operands.size(); ++i) {
        const index_vector next = read_set(o.operands[i]);
        if (o.command == "union")
            result |= next;
        else if (o.command == "intersect")
            result &= next;
        else
            result -= next;
    }
    print_set(result, o, names);
    return exit_ok;
}

int run_equal(const options &o) {
    if (o.operands.size() != 2)
        fail("equal: expected 2 sets, got " + std::to_string(o.operands.size()));
    const index_vector a = read_set(o.operands[0]);
    const bool same = a == read_set(o.operands[1]);
    if (!o.quiet)
        std::puts(same ? "equal" : "not equal");
    return same ? exit_ok : exit_false;
}

int run_present(const options &o) {
    if (o.operands.size() < 2)
        fail("present: expected a set and at least one item to look for");
    const index_vector set = read_set(o.operands[0]);
    member_bits wanted;
    bool single_wanted = false;
    for (std::size_t i = 1; i < o.operands.size(); ++i)
        g_input.read(o.operands[i], [&](const named_members &n) -> std::string {
            if (n.type == ifvec::single_type.code)
                single_wanted = single_wanted || n.if_index == set.raw().single_if_index;
            else
                set_run(wanted.rows[static_cast<std::size_t>(row_of(n.type))], n.first, n.last);
            return "";
        });
    index_vector found = set & bitmaps_of(wanted); // keeps set's single slot
    if (!single_wanted && set.raw().single_if_index != 0)
        (void)found.erase(set.raw().single_if_index);
    if (!o.quiet)
        for (const std::uint32_t x : found)
            std::puts(name_of(x).c_str());
    return found.empty() ? exit_false : exit_ok;
}

int run(std::span<const std::string> args);

// The built-in example: each command as a user would type it, then what it
// prints, run through the same code as the command itself.
int run_demo(const options &o) {
    if (!o.operands.empty())
        fail("demo: takes no operands");
    const std::string a = "phy_fc:0-2,5,7-8 port-channel0-3 port-channel9 iscsi2/6 fc-tunnel4095 mgmt1";
    const std::string b = "fc1/2-3 fc2/1 port-channel9-10 0x0f000fff mgmt2";
    const std::vector<std::vector<std::string>> demo = {
        {"show", a},
        {"union", "--names", "--counts", a, b},
        {"intersect", "--ranges", a, b},
        {"subtract", "--ifindex", a, b},
        {"equal", a, b},
        {"present", a, "fc1/2", "fc2/1", "port_channel:3-5", "mgmt1"},
        {"show", "--format=json", "fc1/1-2 port-channel7 mgmt1"},
    };
    std::printf("A built-in example.  Each command below shows what running it prints.\n");
    for (const auto &cmd : demo) {
        std::printf("\n$ ifvec");
        for (const std::string &arg : cmd)
            std::printf(arg.find(' ') != std::string::npos ? " '%s'" : " %s", arg.c_str());
        std::printf("\n");
        (void)run(cmd);
    }
    return exit_ok;
}

int run(std::span<const std::string> args) {
    std::size_t i = 0;
    if (i < args.size() && (args[i] == "-h" || args[i] == "--help"))
        return print_help(nullptr);
    if (i < args.size() && (args[i] == "-V" || args[i] == "--version")) {
        std::puts("ifvec " IF_INDEX_VEC_VERSION_TEXT);
        return exit_ok;
    }
    if (i < args.size() && args[i] == "--")
        ++i;
    if (i == args.size()) {
        print_usage(stderr);
        fail("expected a command");
    }
    if (args[i].starts_with("-") && args[i] != "-")
        fail("unknown option " + shown(args[i]) + " (expected a command, --help or --version)");
    const command *c = find_command(args[i]);
    if (c == nullptr)
        fail("unknown command " + shown(args[i]) + " (expected show, union, intersect, subtract, equal, " +
             "present, demo or help)");
    options o;
    o.command = c->name;
    if (!parse_options(*c, args.subspan(i + 1), o))
        return print_help(c);
    if (c->run != nullptr)
        return c->run(o);
    if (o.operands.size() > 1)
        fail("help: expected at most one command");
    if (o.operands.empty())
        return print_help(nullptr);
    if (const command *topic = find_command(o.operands.front()))
        return print_help(topic);
    fail("help: unknown command " + shown(o.operands.front()));
}

} // namespace

int main(int argc, char **argv) {
    int status = exit_ok;
    try {
        status = run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const failure &f) {
        std::fprintf(stderr, "ifvec: %s\n", f.message.c_str());
        if (f.status == exit_bad_input)
            std::fprintf(stderr, "%.*s\n", static_cast<int>(kHint.size()), kHint.data());
        return f.status;
    }
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || std::fclose(stdout) != 0) {
        std::fprintf(stderr, "ifvec: write error%s%s\n", errno != 0 ? ": " : "",
                     errno != 0 ? std::strerror(errno) : "");
        return exit_write;
    }
    return status;
}
