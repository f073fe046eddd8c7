// SPDX-License-Identifier: MIT
// ifvec: the commands.  Sets are combined with the library's own set
// algebra, one call per operand, and compared with its equality.
#include "commands.hpp"

#include "common.hpp"
#include "views.hpp"

#include "messages.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace if_index_vec::cli {
namespace {

index_vector read_set(std::string_view operand, operand_reader &in) {
    set_builder b;
    in.read(operand, b);
    return b.vector();
}

void print_set(const index_vector &set, const options &o, view_set default_views) {
    if (o.json)
        print_json(set);
    else
        show(set, o.views != 0 ? o.views : default_views);
}

// Whether show prints views: always, but with --record-out only when a view
// or format is asked for.
bool shows_views(const options &o) { return o.record_out.empty() || o.views != 0 || o.json; }

// Where the images of --record-out go, opened only once every input is read
// and checked.  A regular file, or a new one, is written as a temporary file
// beside it and renamed over it once written and synced, so that a failure
// leaves it as it was, and a file read by --record may be its own output;
// what is not a regular file (a pipe, a terminal, /dev/null) is written in
// place.  "-" is standard output.
class image_writer {
public:
    explicit image_writer(const options &o) : path_(o.record_out), order_(o.out_order.value_or(o.order)) {}
    image_writer(const image_writer &) = delete;
    image_writer &operator=(const image_writer &) = delete;
    ~image_writer() { discard(); }
    void open() {
        if (path_.empty() || path_ == "-") {
            out_ = path_.empty() ? nullptr : stdout;
            return;
        }
        target_ = std::string(path_);
        struct stat st {};
        const bool exists = ::stat(target_.c_str(), &st) == 0;
        if (exists && !S_ISREG(st.st_mode)) {
            if ((out_ = std::fopen(target_.c_str(), "wb")) == nullptr)
                fail(tools::shown(path_) + ": " + std::strerror(errno), exit_write);
            return;
        }
        if (char *real = exists ? ::realpath(target_.c_str(), nullptr) : nullptr) { // through a link
            target_ = real;
            std::free(real);
        }
        temp_ = target_ + ".XXXXXX";
        const int fd = ::mkstemp(temp_.data());
        if (fd < 0) {
            const int error = errno;
            temp_.clear();
            fail(tools::shown(path_) + ": " + std::strerror(error), exit_write);
        }
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, exists ? st.st_mode & 07777 : 0666 & ~mask) != 0 ||
            (out_ = ::fdopen(fd, "wb")) == nullptr) {
            const int error = errno;
            ::close(fd);
            discard();
            fail(tools::shown(path_) + ": " + std::strerror(error), exit_write);
        }
    }
    void write(const if_index_vector_t &rec) {
        if (out_ != nullptr && !write_record(out_, rec, order_) && error_ == 0)
            error_ = errno;
    }
    // Flushes, syncs and closes the file and puts it in place; on failure
    // the target is left as it was.
    void close() {
        if (out_ == nullptr || out_ == stdout)
            return;
        int error = error_;
        if (std::fflush(out_) != 0 && error == 0)
            error = errno;
        if (!temp_.empty() && error == 0 && ::fsync(::fileno(out_)) != 0)
            error = errno;
        if (std::fclose(std::exchange(out_, nullptr)) != 0 && error == 0)
            error = errno;
        if (!temp_.empty() && error == 0 && std::rename(temp_.c_str(), target_.c_str()) != 0)
            error = errno;
        if (error != 0) {
            discard();
            fail(tools::shown(path_) + ": write error: " + std::strerror(error), exit_write);
        }
        temp_.clear();
    }

private:
    void discard() {
        if (out_ != nullptr && out_ != stdout)
            std::fclose(out_);
        out_ = nullptr;
        if (!temp_.empty())
            ::unlink(temp_.c_str());
        temp_.clear();
    }

    std::string_view path_;
    byte_order order_;
    std::FILE *out_ = nullptr;
    std::string target_; // path_, or the file a link of that name points to
    std::string temp_;   // the temporary file while it is written
    int error_ = 0;      // errno of the first failed write
};

// The records of --record, read whole before any is shown or written:
// images are small, and so an output may be one of the inputs.  Each is
// checked as it arrives, so that a bad one fails before the rest of its
// input is read.
struct loaded_record {
    std::string path;
    std::string where; // path as messages show it
    record_image image;
};

struct loaded_records {
    std::vector<loaded_record> records;
    std::string partial; // what is wrong with a partial record that ends the last input read
};

loaded_records load_records(const options &o, std::span<const std::string_view> paths, operand_reader &in) {
    loaded_records loaded;
    for (const std::string_view path : paths) {
        const std::string where = path == "-" ? std::string("-") : tools::shown(path);
        std::FILE *const f = path == "-" ? in.take_stdin() : std::fopen(std::string(path).c_str(), "rb");
        if (f == nullptr)
            fail(where + ": " + std::strerror(errno), exit_read);
        const std::unique_ptr<std::FILE, int (*)(std::FILE *)> owned(path == "-" ? nullptr : f, std::fclose);
        loaded.partial = read_records(f, where, o.order, o.window, [&](const record_image &r) {
            if (!r.problems.empty() && !o.show_invalid)
                fail(where + ": record " + std::to_string(r.number) + " at byte " + std::to_string(r.offset) +
                     ": " + tools::joined(r.problems, "; ") + " (--show-invalid shows it as stored)");
            loaded.records.push_back({std::string(path), where, r});
        });
        if (!loaded.partial.empty())
            break;
    }
    return loaded;
}

constexpr view_set show_views = view_set{} | view::names | view::ranges | view::hex | view::counts;

// show --record FILE...: every record of every file, each checked before any
// is shown; one that disagrees with the layout or with itself is refused, or
// with --show-invalid shown as stored under a line that says what is wrong:
// its bits and slot, whatever its num_if says.  An input that ends in part
// of a record is an error; with --show-invalid the whole records before it
// are shown first.  --format=json prints one array of them all.
int show_records(const options &o, operand_reader &in) {
    std::vector<std::string_view> paths(o.records);
    paths.insert(paths.end(), o.operands.begin(), o.operands.end());
    const loaded_records loaded = load_records(o, paths, in);
    if (!loaded.partial.empty() && (!o.show_invalid || !o.record_out.empty()))
        fail(loaded.partial);
    const bool several = loaded.records.size() > 1 || !loaded.partial.empty();
    image_writer out(o);
    out.open();
    std::vector<shown_record> json;
    for (const loaded_record &l : loaded.records) {
        const record_image &r = l.image;
        out.write(r.rec);
        if (o.record_out == "-" || !shows_views(o))
            continue;
        if_index_vector_t held = r.rec; // num_if recounted: the library trusts it as stored
        if_index_vector_union(&held, &held);
        const index_vector set(held);
        if (o.json) {
            json.push_back({l.path, r.number, r.offset, r.rec.num_if, r.problems, set});
            continue;
        }
        if (several || !r.problems.empty())
            std::printf("%s: record %zu at byte %llu%s%s\n", l.where.c_str(), r.number,
                        static_cast<unsigned long long>(r.offset),
                        r.problems.empty() ? ":" : ", as stored: ", tools::joined(r.problems, "; ").c_str());
        print_set(set, o, show_views);
    }
    if (o.json && shows_views(o))
        print_json(json);
    out.close();
    if (!loaded.partial.empty())
        fail(loaded.partial);
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
        print_set(set, o, show_views);
    out.close();
    return exit_ok;
}

int run_combine(const command &c, const options &o, operand_reader &in) {
    if (o.operands.empty())
        fail(std::string(c.name) + ": expected one or more sets");
    index_vector result = read_set(o.operands.front(), in);
    for (std::size_t i = 1; i < o.operands.size(); ++i)
        c.combine(result, read_set(o.operands[i], in));
    print_set(result, o, view_set{} | view::names);
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

// diff A B: A less B and B less A, each by the library's subtract, which
// leaves the single slots alone; a single-slot member both sets hold is
// then taken out of both sides.  Equal sets, by the library's equality,
// print nothing and exit 0, as diff(1) does.
int run_diff(const command & /*c*/, const options &o, operand_reader &in) {
    if (o.operands.size() != 2)
        fail("diff: expected 2 sets, got " + std::to_string(o.operands.size()));
    const index_vector a = read_set(o.operands[0], in);
    const index_vector b = read_set(o.operands[1], in);
    if (a == b)
        return exit_ok;
    index_vector a_only = a - b, b_only = b - a;
    if (const std::uint32_t single = a.raw().single_if_index; single != 0 && single == b.raw().single_if_index) {
        (void)a_only.erase(single);
        (void)b_only.erase(single);
    }
    if (o.quiet)
        return exit_false;
    if (o.json) {
        print_json_diff(a_only, b_only);
        return exit_false;
    }
    for (std::size_t i = 0; i < diff_headings.size(); ++i) {
        const index_vector &side = i == 0 ? a_only : b_only;
        std::printf("%.*s\n", static_cast<int>(diff_headings[i].size()), diff_headings[i].data());
        if (side.empty())
            std::printf("%.*s\n", static_cast<int>(empty_mark.size()), empty_mark.data());
        else
            show(side, o.views != 0 ? o.views : view_set{} | view::names);
    }
    return exit_false;
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

} // namespace if_index_vec::cli
