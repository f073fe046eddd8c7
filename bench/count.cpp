// SPDX-License-Identifier: MIT
// Instruction-count driver: each workload of workloads.hpp run kCalls times
// between two markers, for the library, the literal reference and the
// std::bitset holder, plus the floors.  No timing: count.py runs this program
// under callgrind (amd64: the markers toggle collection and dump the count)
// or qemu-user's execution log (any target: the markers' blocks delimit the
// counted ones), and divides by kCalls.
//
// Output on standard output: one "label <workload>/<implementation>/<density>
// <calls>" line per counted run, in the order the runs were made.  The dumps
// and listings write to a stdio stream that drops its output.
#include <if_index_vec/if_index_vector.h>

#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#if defined(__x86_64__) && __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define IFVEC_COUNT_CALLGRIND 1
#endif

#include "capture.hpp"
#include "workloads.hpp"

namespace {

// Counts are deterministic, so one call tells as much as many; the
// emulator's log is what limits the number.
constexpr int kCalls = 1;

std::FILE *g_labels; // the real standard output, for the label lines
std::vector<std::string> g_disagree;

// The markers: out of line, so each is the start of a translated block under
// qemu, named in its log by the symbol, and a call callgrind sees.
extern "C" [[gnu::noinline]] void ifvec_count_begin() {
#ifdef IFVEC_COUNT_CALLGRIND
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
#endif
    asm volatile("" ::: "memory");
}
extern "C" [[gnu::noinline]] void ifvec_count_end(const char *label) {
#ifdef IFVEC_COUNT_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(label);
#endif
    asm volatile("" : : "r"(label) : "memory");
}

template <class T>
void keep(const T &v) {
    asm volatile("" : : "r"(&v) : "memory");
}

// One counted run: a first call outside the markers (lazy binding, first
// touch of the data), then kCalls calls between them.
template <auto Work, class In>
void counted(const std::string &label, In &in) {
    using Result = decltype(Work(in));
    const auto once = [&] {
        if constexpr (std::is_void_v<Result>)
            Work(in);
        else
            keep(Work(in));
    };
    once();
    ifvec_count_begin();
    for (int i = 0; i < kCalls; ++i)
        once();
    ifvec_count_end(label.c_str());
    std::fprintf(g_labels, "label %s %d\n", label.c_str(), kCalls);
}

// ---- floors ----------------------------------------------------------------

using Word = std::uintptr_t;
constexpr int kWords = 800 / sizeof(Word);

// A plain word-wise OR with a store over the 800 bytes of bitmaps, on the
// arena's fixed addresses (the best loop the compiler can make).
[[gnu::noinline]] void or_words(bench::Records &) {
    auto *d = reinterpret_cast<Word *>(bench::operand(bench::kDst));
    const auto *s = reinterpret_cast<const Word *>(bench::operand(bench::kB));
    for (int i = 0; i < kWords; ++i)
        d[i] |= s[i];
}

// Population count of a word without a count instruction (32-bit PowerPC has
// none): bit pairs, nibbles, bytes, then one multiply adds the bytes.
inline std::uint32_t popcount_word(Word w) {
    constexpr Word m1 = static_cast<Word>(0x5555555555555555u), m2 = static_cast<Word>(0x3333333333333333u),
                   m4 = static_cast<Word>(0x0f0f0f0f0f0f0f0fu), h01 = static_cast<Word>(0x0101010101010101u);
    w -= (w >> 1) & m1;
    w = (w & m2) + ((w >> 2) & m2);
    w = (w + (w >> 4)) & m4;
    return static_cast<std::uint32_t>((w * h01) >> (8 * (sizeof(Word) - 1)));
}

// The OR loop and the count of the result that a recount needs.
[[gnu::noinline]] std::uint32_t or_words_popcount(bench::Records &) {
    auto *d = reinterpret_cast<Word *>(bench::operand(bench::kDst));
    const auto *s = reinterpret_cast<const Word *>(bench::operand(bench::kB));
    std::uint32_t n = 0;
    for (int i = 0; i < kWords; ++i) {
        d[i] |= s[i];
        n += popcount_word(d[i]);
    }
    return n;
}

// The counted region with nothing in it: count.py subtracts its count.
void nothing(bench::Records &) {}

// ---- agreement -------------------------------------------------------------

template <class T>
void expect_same(const std::string &what, const T &a, const T &b) {
    if (!(a == b))
        g_disagree.push_back(what);
}
template <auto Work, class In>
std::string printed(In &in) {
    return if_index_vec::test::capture_stdout([&] { Work(in); });
}

} // namespace

int main() {
    using namespace bench;
    using H = rival::StdBitset;
    using In = Holders<H>;

    const int out_fd = dup(1);
    g_labels = out_fd < 0 ? nullptr : fdopen(out_fd, "w");
    if (g_labels == nullptr)
        return 1;

    const std::string half = std::string("/") + kDensities[3].label;
    {
        // Membership on its own data set: dst without bitmap members.
        In in(kNoDensity[0]);
        const std::uint32_t lib = membership_lib(in);
        expect_same("membership ref", lib, membership_ref(in));
        expect_same("membership bitset", lib, membership_rival<H, true>(in));
        expect_same("membership restores dst", ref::is_equal(Records::dst(), Records::a()), 1);
        if (g_disagree.empty()) {
            counted<membership_lib>("membership/lib/-", in);
            counted<membership_ref>("membership/ref/-", in);
            counted<membership_rival<H, true>>("membership/bitset+codec/-", in);
        }
    }

    In in(kDensities[3]);
    // dst back to A, its holder too, before each workload that writes to it.
    const auto reset = [&] {
        std::memcpy(Records::dst(), Records::a(), sizeof(if_index_vector_t));
        in.hdst->copy_from(*in.ha);
    };
    expect_same("count ref", count_lib(in), count_ref(in));
    expect_same("count bitset", count_lib(in), count_rival(in));
    expect_same("walk_typed ref", walk_typed_lib(in), walk_typed_ref(in));
    expect_same("walk_typed bitset", walk_typed_lib(in), walk_typed_rival(in));
    expect_same("walk_cursor ref", walk_cursor_lib(in), walk_cursor_ref(in));
    expect_same("is_equal", is_equal_lib(in), is_equal_ref(in));
    const std::string range_text = printed<range_text_lib>(in);
    expect_same("range_text ref", range_text, printed<range_text_ref>(in));
    expect_same("range_text bitset", range_text, printed<range_text_rival<H>>(in));
    expect_same("hex ref", printed<hex_lib>(in), printed<hex_ref>(in));
    expect_same("union ref", (reset(), union_lib(in)), (reset(), combine_ref<ref::Op::Union>(in)));
    expect_same("union bitset", (reset(), union_lib(in)), (reset(), union_rival(in)));
    expect_same("intersection ref", (reset(), intersection_lib(in)),
                (reset(), combine_ref<ref::Op::Intersection>(in)));
    expect_same("intersection bitset", (reset(), intersection_lib(in)), (reset(), intersection_rival(in)));
    expect_same("subtract ref", (reset(), subtract_lib(in)), (reset(), combine_ref<ref::Op::Subtract>(in)));
    expect_same("subtract bitset", (reset(), subtract_lib(in)), (reset(), subtract_rival(in)));
    if (!g_disagree.empty()) {
        for (const std::string &what : g_disagree)
            std::fprintf(stderr, "disagreement: %s\n", what.c_str());
        return 1;
    }

    // The dumps and listings write to a stream that drops what it is given.
    cookie_io_functions_t discard{};
    discard.write = [](void *, const char *, std::size_t n) -> ssize_t { return static_cast<ssize_t>(n); };
    std::fflush(stdout);
    std::FILE *const saved_stdout = stdout;
    std::FILE *sink = fopencookie(nullptr, "w", discard);
    if (sink == nullptr || std::setvbuf(sink, nullptr, _IOFBF, BUFSIZ) != 0)
        return 1;
    stdout = sink;

    reset();
    counted<copy_lib>("copy/lib" + half, in);
    counted<copy_ref>("copy/ref" + half, in);
    counted<copy_rival<H>>("copy/bitset" + half, in);
    reset();
    counted<union_lib>("union/lib" + half, in);
    reset();
    counted<combine_ref<ref::Op::Union>>("union/ref" + half, in);
    reset();
    counted<union_rival<H>>("union/bitset" + half, in);
    reset();
    counted<intersection_lib>("intersection/lib" + half, in);
    reset();
    counted<combine_ref<ref::Op::Intersection>>("intersection/ref" + half, in);
    reset();
    counted<intersection_rival<H>>("intersection/bitset" + half, in);
    reset();
    counted<subtract_lib>("subtract/lib" + half, in);
    reset();
    counted<combine_ref<ref::Op::Subtract>>("subtract/ref" + half, in);
    reset();
    counted<subtract_rival<H>>("subtract/bitset" + half, in);
    reset();
    counted<is_equal_lib>("is_equal/lib" + half, in);
    counted<is_equal_ref>("is_equal/ref" + half, in);
    counted<is_equal_rival<H>>("is_equal/bitset" + half, in);
    counted<count_lib>("count/lib" + half, in);
    counted<count_ref>("count/ref" + half, in);
    counted<count_rival<H>>("count/bitset" + half, in);
    counted<walk_typed_lib>("walk_typed/lib" + half, in);
    counted<walk_typed_ref>("walk_typed/ref" + half, in);
    counted<walk_typed_rival<H>>("walk_typed/bitset+codec" + half, in);
    counted<walk_cursor_lib>("walk_cursor/lib" + half, in);
    counted<walk_cursor_ref>("walk_cursor/ref" + half, in);
    counted<range_text_lib>("range_text/lib" + half, in);
    counted<range_text_ref>("range_text/ref" + half, in);
    counted<range_text_rival<H>>("range_text/bitset+snprintf" + half, in);
    counted<hex_lib>("hex/lib" + half, in);
    counted<hex_ref>("hex/ref" + half, in);
    reset();
    counted<copy_floor>("floor/memcpy/824", in);
    counted<or_words>("floor/or/800", in);
    reset();
    counted<or_words_popcount>("floor/or+popcount/800", in);
    counted<nothing>("overhead/none/-", in);

    // The name listing formats every member through the codec, a few
    // thousand instructions each: on the 5% set, so that the emulator's log
    // stays short.
    In sparse(kDensities[2]);
    stdout = saved_stdout;
    const std::string names = printed<names_lib>(sparse);
    expect_same("names ref", names, printed<names_ref>(sparse));
    expect_same("names bitset", names, printed<names_rival<H>>(sparse));
    if (!g_disagree.empty()) {
        std::fprintf(stderr, "disagreement: %s\n", g_disagree.front().c_str());
        return 1;
    }
    stdout = sink;
    const std::string five = std::string("/") + kDensities[2].label;
    counted<names_lib>("names/lib" + five, sparse);
    counted<names_ref>("names/ref" + five, sparse);
    counted<names_rival<H>>("names/bitset+codec" + five, sparse);
    std::fclose(g_labels);
    return 0;
}
