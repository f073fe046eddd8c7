// SPDX-License-Identifier: MIT
// The namespace's old name still names the library's, and is deprecated.
#include <if_index_vec/if_index_vector.hpp>

#include <type_traits>

namespace old_name = ifvec;
static_assert(std::is_same_v<old_name::index_vector, if_index_vec::index_vector>);
