// SPDX-License-Identifier: MIT
// ifvec: the commands.  Sets are combined with the library's own set
// algebra, one call per operand, and compared with its equality.
#include "commands.hpp"

#include "common.hpp"
#include "views.hpp"

#include "messages.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
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

// Whether show prints views: always, but with --record-out only when a view
// or format is asked for.
bool shows_views(const options &o) { return o.record_out.empty() || o.views != 0 || o.json; }

// Where the images of --record-out go: opened only once every input is read
// and checked, so that an error leaves no file behind; "-" is standard output.
class image_writer {
public:
    explicit image_writer(const options &o) : path_(o.record_out), order_(o.order) {}
    image_writer(const image_writer &) = delete;
    image_writer &operator=(const image_writer &) = delete;
    ~image_writer() {
        if (out_ != nullptr && out_ != stdout)
            std::fclose(out_);
    }
    void open() {
        if (path_.empty() || path_ == "-")
            out_ = path_.empty() ? nullptr : stdout;
        else if ((out_ = std::fopen(std::string(path_).c_str(), "wb")) == nullptr)
            fail(tools::shown(path_) + ": " + std::strerror(errno), exit_write);
    }
    void write(const if_index_vector_t &rec) const {
        if (out_ != nullptr)
            write_record(out_, rec, order_);
    }
    void close() {
        if (out_ == nullptr || out_ == stdout)
            return;
        const bool failed = std::ferror(out_) != 0;
        if (std::fclose(std::exchange(out_, nullptr)) != 0 || failed)
            fail(tools::shown(path_) + ": write error", exit_write);
    }

private:
    std::string_view path_;
    byte_order order_;
    std::FILE *out_ = nullptr;
};

// The files of --record, each opened once; standard input is copied to a
// temporary file, so that every input can be read twice: once to check every
// record, then to show them.
class image_inputs {
public:
    image_inputs(const options &o, operand_reader &in) {
        for (const std::string_view path : o.records) {
            std::FILE *f = nullptr;
            if (path == "-") {
                f = std::tmpfile();
                std::FILE *const from = in.take_stdin();
                char buf[1 << 14];
                for (std::size_t n; f != nullptr && (n = std::fread(buf, 1, sizeof buf, from)) > 0;)
                    std::fwrite(buf, 1, n, f);
                if (f == nullptr || std::ferror(from) != 0 || std::ferror(f) != 0)
                    fail("-: read error", exit_read);
            } else if ((f = std::fopen(std::string(path).c_str(), "rb")) == nullptr) {
                fail(tools::shown(path) + ": " + std::strerror(errno), exit_read);
            }
            files_.push_back({f, path == "-" ? std::string("-") : tools::shown(path)});
        }
    }
    image_inputs(const image_inputs &) = delete;
    image_inputs &operator=(const image_inputs &) = delete;
    ~image_inputs() {
        for (const auto &f : files_)
            std::fclose(f.file);
    }
    // Calls each(where, image) for every record of every file, from the start.
    template <class Each>
    void each(byte_order order, Each each) const {
        for (const auto &f : files_) {
            std::rewind(f.file);
            read_records(f.file, f.where, order, [&](const record_image &r) { each(f.where, r); });
        }
    }

private:
    struct input {
        std::FILE *file;
        std::string where;
    };
    std::vector<input> files_;
};

constexpr unsigned kShowViews = names | ranges | hex | counts;

// show --record: every record of every file, each checked before any is
// shown; one that disagrees with the layout or with itself is refused, or
// with --show-invalid shown as stored under a line that says what is wrong.
int show_records(const options &o, operand_reader &in) {
    if (!o.operands.empty())
        fail("show: --record reads its sets from record images: give no other SET");
    const image_inputs inputs(o, in);
    std::size_t total = 0;
    inputs.each(o.order, [&](const std::string &where, const record_image &r) {
        ++total;
        if (!r.problems.empty() && !o.show_invalid)
            fail(where + ": record " + std::to_string(r.number) + " at byte " + std::to_string(r.offset) +
                 ": " + tools::joined(r.problems, "; ") + " (--show-invalid shows it as stored)");
    });
    image_writer out(o);
    out.open();
    inputs.each(o.order, [&](const std::string &where, const record_image &r) {
        out.write(r.rec);
        if (o.record_out == "-")
            return;
        if (total > 1 || !r.problems.empty())
            std::printf("%s: record %zu at byte %llu%s%s\n", where.c_str(), r.number,
                        static_cast<unsigned long long>(r.offset),
                        r.problems.empty() ? ":" : ", as stored: ", tools::joined(r.problems, "; ").c_str());
        const index_vector set(r.rec);
        if (shows_views(o))
            print_set(set, o, kShowViews);
    });
    out.close();
    return exit_ok;
}

} // namespace

int run_show(const command & /*c*/, const options &o, operand_reader &in) {
    if (!o.records.empty())
        return show_records(o, in);
    if (o.operands.empty())
        fail("show: expected a set: interface names, if_indexes or range lists, or '-'");
    set_builder all;
    for (const std::string_view operand : o.operands)
        in.read(operand, all);
    const index_vector set = all.vector();
    image_writer out(o);
    out.open();
    out.write(set.raw());
    if (shows_views(o))
        print_set(set, o, kShowViews);
    out.close();
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
