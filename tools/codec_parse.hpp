// SPDX-License-Identifier: MIT
// The codec's own parser of names, where the codec has one.
//
// A platform's codec has ten calls; a codec may add if_index_parse (the
// stand-in does), which reads back the names of types that no constructor
// builds, such as the single slot's.  The tools look it up when they run, so
// that one binary runs on either codec: a call the binary imported would
// have to be there when it is loaded (packages are linked with -z now),
// and a weak reference's address can be a PLT entry in a program that is
// not position-independent.  dlsym is in the C library since glibc 2.34.
#pragma once

#include <dlfcn.h>

#include <cstdint>

namespace if_index_vec::tools {

// if_index_parse(name, &if_index): the codec's status, 0 when it wrote the
// if_index of the terminated `name`.
using codec_parse_fn = std::uint32_t (*)(const char *name, std::uint32_t *if_index);

// The codec's if_index_parse, or nullptr when the codec has none.
inline codec_parse_fn codec_parse() noexcept {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym hands out a function as void *
    return reinterpret_cast<codec_parse_fn>(dlsym(RTLD_DEFAULT, "if_index_parse"));
}

} // namespace if_index_vec::tools
