// SPDX-License-Identifier: MIT
/*
 * if_index_text.hpp - every text form of interface sets, in one include.
 *
 * Header-only C++20; it adds no symbol to libif_index_vec, and the library
 * itself never includes it.  Each form has a header of its own, which a
 * caller may include alone:
 *
 *   <if_index_vec/if_index_ranges.hpp>  range lists ("0-2,5,7-8"), if_index
 *                                       numbers, and text_error, the errors
 *                                       of every text form
 *   <if_index_vec/if_index_names.hpp>   names and name ranges ("fc1/1-4"),
 *                                       through the codec
 *   <if_index_vec/if_index_dumps.hpp>   the lines of the decimal and hex
 *                                       dumps, read back
 */
#ifndef IF_INDEX_VEC_IF_INDEX_TEXT_HPP
#define IF_INDEX_VEC_IF_INDEX_TEXT_HPP

#if !defined(__cplusplus) || __cplusplus < 202002L
#error "<if_index_vec/if_index_text.hpp> needs C++20 (compile with -std=c++20 or later)"
#else /* C++20 */

#include <if_index_vec/if_index_dumps.hpp>
#include <if_index_vec/if_index_names.hpp>
#include <if_index_vec/if_index_ranges.hpp>

#endif /* C++20 */
#endif /* IF_INDEX_VEC_IF_INDEX_TEXT_HPP */
