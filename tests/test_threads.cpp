// Several threads, each working on its own vectors at the same time, get the
// results that the same work gives on one thread: the library keeps no
// shared mutable state.  Run under ThreadSanitizer (preset tsan), any write
// to shared memory inside the library is reported as a race.
#include "support.hpp"

#include <unistd.h>

#include <cstdio>
#include <thread>
#include <vector>

namespace {

using namespace ifv::test;

// A running digest of every result of a seeded mix of operations on three
// vectors, including the three print functions (their text goes to standard
// output, which the test points at a scratch file).
std::uint64_t workload(std::uint64_t seed) {
    RandomSource src{seed};
    std::uint64_t digest = 1469598103934665603ULL;
    const auto mix = [&digest](std::uint64_t v) { digest = (digest ^ v) * 1099511628211ULL; };
    if_index_vector_t *vecs[3] = {if_index_vector_new(), if_index_vector_new(), if_index_vector_new()};
    static constexpr std::uint8_t kCodes[] = {IF_TYPE_PHY_FC, IF_TYPE_PORT_CHANNEL, IF_TYPE_ISCSI,
                                              IF_TYPE_FC_TUNNEL, IF_TYPE_SINGLE, 10};
    for (int step = 0; step < 3000; ++step) {
        if_index_vector_t *v = vecs[src.pick(3)], *w = vecs[src.pick(3)];
        const std::uint8_t code = kCodes[src.pick(6)];
        const std::uint32_t x = at(code, static_cast<int>(src.pick(code == IF_TYPE_FC_TUNNEL ? 4096 : 1024)) + 1);
        std::uint32_t out = 0, cursor = 0;
        switch (src.pick(10)) {
        case 0: case 1: case 2: mix(if_index_vector_add(v, x)); break;
        case 3: mix(if_index_vector_remove(v, x)); break;
        case 4: mix(static_cast<std::uint64_t>(if_index_vector_is_present(v, x))); break;
        case 5:
            mix(if_index_vector_next(v, x, &out));
            mix(if_index_vector_get_next(v, &x, &out));
            mix(if_index_vector_get(v, &x, &out));
            mix(out);
            break;
        case 6:
            for (std::uint32_t rc = if_index_vector_itr_begin(v, &cursor); rc == IF_INDEX_VECTOR_OK;
                 rc = if_index_vector_itr_incr(v, &cursor))
                mix(cursor);
            mix(if_index_vector_first(v, &out));
            break;
        case 7:
            mix(if_index_vector_union(v, w) + 3 * if_index_vector_subtract(w, v));
            mix(if_index_vector_intersection(v, w));
            mix(static_cast<std::uint64_t>(if_index_vector_is_equal(v, w)));
            break;
        case 8:
            if_index_vector_printf(v);
            if_index_vector_printf_dec(v);
            if_index_vector_printf_hex(v);
            break;
        default:
            if_index_vector_copy(w, v);
            mix(if_index_vector_num_if(w));
            for (std::uint32_t c : {1u, 4u, 6u, 11u, 15u})
                mix(if_index_vector_num_if_type(w, c));
            break;
        }
    }
    for (auto *v : vecs)
        if_index_vector_delete(v);
    return digest;
}

TEST(Threads, EachThreadOnItsOwnVectorsGetsTheSingleThreadedResults) {
    // The printed text goes to a scratch file for the length of the test.
    std::FILE *sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    std::fflush(stdout);
    const int saved_stdout = dup(1);
    dup2(fileno(sink), 1);
    constexpr int kThreads = 4;
    std::vector<std::uint64_t> alone(kThreads), together(kThreads);
    for (int i = 0; i < kThreads; ++i)
        alone[static_cast<std::size_t>(i)] = workload(static_cast<std::uint64_t>(i) + 1);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([i, &together] {
            together[static_cast<std::size_t>(i)] = workload(static_cast<std::uint64_t>(i) + 1);
        });
    for (auto &t : threads)
        t.join();
    std::fflush(stdout);
    dup2(saved_stdout, 1);
    close(saved_stdout);
    std::fclose(sink);
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(together[static_cast<std::size_t>(i)], alone[static_cast<std::size_t>(i)]) << "thread " << i;
        if (i > 0) { // different seeds do different work
            EXPECT_NE(alone[static_cast<std::size_t>(i)], alone[0]) << "thread " << i;
        }
    }
}

} // namespace
