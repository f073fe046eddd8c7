// SPDX-License-Identifier: MIT
// if_index_codec_check: the checks, one section of the report each.
//
// The library relies on the codec for exactly these things:
//   held type codes      if_index_get_type() writes 1, 4, 11 and 15 for the
//                        if_indexes the constructors build;
//   field widths         no call writes beyond the outputs it is given: 8-bit
//                        slot, port and third field, 16-bit channel and
//                        tunnel, a 32-bit if_index, 24 bytes of type record;
//   inverse conversions  at every position of every bitmap type, the
//                        constructor's if_index converts back to that position,
//                        and the if_indexes of different positions differ;
//   through the library  a vector holding every one of them walks them back;
//   name lengths         every name fits the listing's buffer with its
//                        terminator;
//   names read back      every storable position has a name of its own, so
//                        that the name reads back to its if_index through the
//                        table of names that ifvec reads names with, and
//                        ifvec can read it as an item (item_grammar.hpp);
//   if_index_parse       where the codec has one (optional, looked up when
//                        the checker runs), it reads every such name, and
//                        those of the given type-6 if_indexes, back to the
//                        same if_index;
//   type 6               given single-slot if_indexes are classified as type 6
//                        with status 0 (the codec has no constructor for
//                        them: pass them with --single);
//   unclassifiable       values the codec refuses do not come back as a held
//                        type at a storable position, and no value it accepts
//                        lands on another if_index's position (a port of 64 or
//                        more would: walks would hand back the other one).
// The field widths run first, each call with guard bytes around its output:
// when a call writes beyond an output, every other section, which calls the
// codec as the library does, would corrupt memory, and is not run.
// A codec's calls succeed with status 0: add and remove hand
// if_index_get_type's status back, and their callers compare it with
// IF_INDEX_VECTOR_OK.
#pragma once

#include <cstdint>
#include <vector>

namespace if_index_vec::codec_check {

// Runs every check, `singles` being the type-6 if_indexes given, and prints
// the report, a line per section and the problems under it.  Returns whether
// the library can rely on the codec.
bool check_codec(const std::vector<std::uint32_t> &singles);

} // namespace if_index_vec::codec_check
