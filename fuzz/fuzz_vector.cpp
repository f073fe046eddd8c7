// SPDX-License-Identifier: MIT
// Differential fuzz target: the input bytes choose the driver's operations,
// and a difference from the model aborts, so that libFuzzer keeps the input.
// Without libFuzzer, main() replays the inputs in the folders it is given.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "driver.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if_index_vec::test::Source src(data, size);
    const std::string failure = if_index_vec::test::Driver(src).run(1 << 20);
    if (!failure.empty()) {
        std::fprintf(stderr, "divergence: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}

#ifndef IF_INDEX_VEC_LIBFUZZER
int main(int argc, char **argv) {
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto &entry : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
            ++inputs;
        }
    std::printf("%zu inputs replayed without a difference\n", inputs);
    return inputs == 0;
}
#endif
