// SPDX-License-Identifier: MIT
// The C++ headers together, lowest layer first, each included twice (each
// alone: tests/interface/CMakeLists.txt).
#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.hpp>
#include <if_index_vec/if_index_vector.hpp>
#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_text.hpp>
