// SPDX-License-Identifier: MIT
// ifvec: the text of every error found while reading sets.  The readers of
// <if_index_vec/if_index_text.hpp> say what is wrong and where as codes and
// offsets; the messages here say it in the codec's names and ifvec's words.
#pragma once

#include <if_index_vec/if_index_text.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace if_index_vec::cli::errors {

// "-:3: 'fc1/x': why": where the text was read (empty for an operand, whose
// lines are not numbered), the text and why it is refused.
std::string located(std::string_view where, std::size_t line_no, std::string_view text, std::string_view why);

// A name, a name range or an if_index that does not give members.
std::string item(const named_members &m);
// An if_index number that does not read: `text` is the whole item.
std::string number(std::string_view text, text_error e);
// A range list of type `t`, `at` bytes into the text shown.  `hex_digits`:
// the list is a dump line's, with too many or too few hex digits for its
// hex dump.
std::string list(text_error e, std::size_t at, const bitmap_type &t, bool hex_digits = false);
// A type keyword and ':' without a range list after it.
std::string empty_list();
// "word:" where word is the single type's keyword, or no type's.
std::string keyword(std::string_view word);

std::string empty_item();
std::string count_line();
std::string count_mismatch(std::uint64_t said, std::uint64_t held);
std::string counts_view();
std::string json_view();

// Standard input: a NUL byte at `offset`, a read error, a second '-'.
std::string nul_byte(std::string_view where, std::size_t offset);
std::string read_error(std::string_view where, int error);
std::string stdin_twice();

} // namespace if_index_vec::cli::errors
