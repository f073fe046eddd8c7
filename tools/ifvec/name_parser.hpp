// SPDX-License-Identifier: MIT
// ifvec: how names become if_indexes, for the readers of sets and for the
// views that check a name range reads back.
#pragma once

#include "codec_parse.hpp"

#include <if_index_vec/if_index_names.hpp>

#include <cstdint>
#include <functional>

namespace if_index_vec::cli {

// Any if_index_vec::name_parser.
using name_parse_fn = std::function<bool(const char *, std::uint32_t *)>;
static_assert(name_parser<name_parse_fn>);

// The codec's names: through its own if_index_parse where it has one (the
// stand-in), else through the ten calls.
inline name_parse_fn codec_name_parser() {
    static const tools::codec_parse_fn parse = tools::codec_parse();
    if (parse == nullptr)
        return codec_names();
    // Status 0 is success, as for every call of the codec.
    return codec_names([](const char *name, std::uint32_t *if_index) { return parse(name, if_index) == 0; });
}

} // namespace if_index_vec::cli
