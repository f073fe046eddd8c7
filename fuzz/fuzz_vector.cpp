// SPDX-License-Identifier: MIT
// Differential fuzz target: the bytes choose the driver's operations, each result compared with the model's.
#include "driver.hpp"
#include "harness.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if_index_vec::test::Source src(data, size);
    const std::string divergence = if_index_vec::test::Driver(src).run(1 << 20);
    if_index_vec::fuzz::require(divergence.empty(), divergence.c_str());
    return 0;
}
