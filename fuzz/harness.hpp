// SPDX-License-Identifier: MIT
// What the fuzz targets share; each includes it once.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace if_index_vec::fuzz {

// A failed check aborts, so that libFuzzer keeps the input.
inline void require(bool ok, const char *what) {
    if (!ok)
        std::fprintf(stderr, "check failed: %s\n", what), std::abort();
}

// Hands `text` to feed() in pieces of 0 to 7 bytes, their lengths drawn from `seed`.
template <class Feed>
void in_pieces(std::string_view text, std::uint32_t seed, Feed &&feed) {
    for (std::size_t n = 0; !text.empty(); text.remove_prefix(n), seed = seed * 1103515245U + 12345U)
        feed(text.substr(0, n = std::min<std::size_t>(text.size(), seed >> 16 & 7)));
}

using file = std::unique_ptr<std::FILE, int (*)(std::FILE *)>;

} // namespace if_index_vec::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

#ifndef IF_INDEX_VEC_LIBFUZZER
int main(int argc, char **argv) { // replays the inputs in the folders given
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto &entry : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            inputs += 1 + LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()),
                                                 bytes.size());
        }
    std::printf("%zu inputs replayed without a failed check\n", inputs);
    return inputs == 0;
}
#endif
