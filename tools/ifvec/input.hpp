// SPDX-License-Identifier: MIT
// ifvec: reading sets.  Operands, and standard input for '-', are read as
// streams of bytes in pieces of any size, so memory stays bounded whatever
// the input: an item other than a range list or a dump line is held only up
// to a fixed length, and range lists and dump lines are parsed run by run
// as they arrive.  Runs go straight into a record's bitmaps.
#pragma once

#include "builder.hpp"
#include "name_parser.hpp"

#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_vector.hpp>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace if_index_vec::cli {

// Reads operands into sets; '-' is standard input, which can be read once.
class operand_reader {
public:
    explicit operand_reader(name_parse_fn parse) : parse_(std::move(parse)) {}
    void read(std::string_view operand, set_builder &into);
    // The set in the bytes of `in`, to its end; messages name it `where`
    // ("-" for standard input) and its lines.
    void read_stream(std::FILE *in, std::string_view where, set_builder &into);
    // Standard input, for a reader of its own; fails when it was taken.
    std::FILE *take_stdin();

private:
    name_parse_fn parse_;
    bool stdin_read_ = false;
};

} // namespace if_index_vec::cli
