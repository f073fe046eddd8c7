// Seeded runs of the differential driver: tens of thousands of mixed
// operations on three vectors, every result compared with the plain model.
#include <gtest/gtest.h>

#include "model.hpp"

namespace {

TEST(Differential, MixedOperationsAgreeWithTheModel) {
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        ifvec::test::RandomSource src{seed};
        ifvec::test::Driver<ifvec::test::RandomSource> driver(src);
        EXPECT_EQ(driver.run(5000), "") << "seed " << seed;
    }
}

} // namespace
