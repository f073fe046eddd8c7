// Differential fuzz target: the input bytes choose a sequence of operations
// on three vectors (every exported function, walks from arbitrary if_indexes
// of any type code, records whose num_if or bits were altered directly), and
// the driver of tests/model.hpp checks every status, output, cursor, count
// and printed text against the plain model.  A difference aborts with a
// message naming the step, so libFuzzer keeps the input.
#include <if_index_vec/if_index_vector.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model.hpp"

namespace {

// Choices read from the input: one byte for a choice among up to 256, two
// for up to 65536, four beyond.  An exhausted input reads as zeros and ends
// the run before the next operation.
class ByteSource {
  public:
    ByteSource(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    unsigned pick(unsigned n) {
        const std::size_t width = n <= 0x100u ? 1 : n <= 0x10000u ? 2 : 4;
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < width; ++i)
            v = v << 8 | (pos_ < size_ ? data_[pos_++] : 0u);
        return n == 0 ? 0 : v % n;
    }
    bool done() const { return pos_ >= size_; }

  private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

[[noreturn]] void diverged(const char *what) {
    std::fprintf(stderr, "divergence: %s\n", what);
    std::abort();
}

// new and delete, which the driver's stack records do not use: a heap record
// starts as init makes caller storage.
void check_heap_record() {
    if_index_vector_t *heap = if_index_vector_new();
    if (heap == nullptr)
        return;
    if_index_vector_t stack;
    std::memset(&stack, 0x5A, sizeof stack);
    if_index_vector_init(&stack);
    if (std::memcmp(heap, &stack, sizeof stack) != 0)
        diverged("if_index_vector_new differs from if_index_vector_init");
    if_index_vector_delete(heap);
    if_index_vector_delete(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool heap_checked = (check_heap_record(), true);
    (void)heap_checked;
    ByteSource src(data, size);
    ifvec::test::Driver<ByteSource> driver(src);
    const std::string failure = driver.run(1 << 20);
    if (!failure.empty())
        diverged(failure.c_str());
    return 0;
}
