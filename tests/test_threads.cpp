// Several threads, each running the differential driver on its own vectors
// at the same time, all agree with the model: the library keeps no shared
// mutable state.  Under ThreadSanitizer (preset tsan) any write to shared
// memory inside the library is also reported as a race.
#include "support.hpp"

#include <unistd.h>

#include <cstdio>
#include <thread>
#include <vector>

namespace {

TEST(Threads, EachThreadOnItsOwnVectorsAgreesWithTheModel) {
    // The print functions' text goes to a scratch file for the test's length.
    std::FILE *sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    std::fflush(stdout);
    const int saved_stdout = dup(1);
    dup2(fileno(sink), 1);
    constexpr std::size_t kThreads = 4;
    std::vector<std::string> failures(kThreads);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < kThreads; ++i)
        threads.emplace_back([i, &failures] {
            ifvec::test::RandomSource src{i + 1};
            failures[i] = ifvec::test::Driver<ifvec::test::RandomSource>(src, false).run(3000);
        });
    for (auto &t : threads)
        t.join();
    std::fflush(stdout);
    dup2(saved_stdout, 1);
    close(saved_stdout);
    std::fclose(sink);
    for (std::size_t i = 0; i < kThreads; ++i)
        EXPECT_EQ(failures[i], "") << "thread " << i;
}

} // namespace
