// SPDX-License-Identifier: MIT
// ifvec: reading sets from operands and streams (item_reader.hpp has the
// grammar).
#include "input.hpp"

#include "common.hpp"
#include "errors.hpp"
#include "item_reader.hpp"


#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace if_index_vec::cli {

std::FILE *operand_reader::take_stdin() {
    if (stdin_read_)
        fail(errors::stdin_twice());
    stdin_read_ = true;
    return stdin;
}

void operand_reader::read(std::string_view operand, set_builder &into) {
    if (operand == "-")
        return read_stream(take_stdin(), "-", into);
    item_reader reader("", parse_, into);
    reader.feed(operand);
    reader.finish();
}

void operand_reader::read_stream(std::FILE *in, std::string_view where, set_builder &into) {
    item_reader reader(std::string(where) + ":", parse_, into);
    std::vector<char> buf(std::size_t{1} << 16);
    std::size_t offset = 0;
    for (;;) { // bytes, not C strings: a NUL byte is an error, not the end of a line
        const std::size_t n = std::fread(buf.data(), 1, buf.size(), in);
        if (const void *nul = std::memchr(buf.data(), '\0', n))
            fail(errors::nul_byte(
                where, offset + static_cast<std::size_t>(static_cast<const char *>(nul) - buf.data())));
        reader.feed({buf.data(), n});
        offset += n;
        if (n < buf.size())
            break;
    }
    if (std::ferror(in) != 0)
        fail(errors::read_error(where, errno), exit_read);
    reader.finish();
}

} // namespace if_index_vec::cli
