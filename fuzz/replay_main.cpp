// Runs the fuzz target on saved inputs, without libFuzzer: every file named
// on the command line, or found in a directory named there.  The checked-in
// corpus and every input that once found a fault run this way in the test
// suite, with any compiler and on every target.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace fs = std::filesystem;

static void run_file(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::fprintf(stderr, "%s (%zu bytes)\n", p.string().c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
}

int main(int argc, char **argv) {
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            std::vector<fs::path> files;
            for (const auto &e : fs::directory_iterator(arg))
                if (e.is_regular_file() && e.path().filename().string().front() != '.')
                    files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const auto &f : files)
                run_file(f), ++inputs;
        } else {
            run_file(arg), ++inputs;
        }
    }
    std::printf("%zu inputs replayed without a difference\n", inputs);
    return inputs == 0 ? 1 : 0;
}
