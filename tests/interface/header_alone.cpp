// SPDX-License-Identifier: MIT
// The C++ headers on their own, lowest layer first: each must bring in
// everything it needs and survive being included twice.
#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_types.hpp>
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_codec_adapter.hpp>
#include <if_index_vec/if_index_vector.hpp>
#include <if_index_vec/if_index_vector.hpp>
#include <if_index_vec/if_index_text.hpp>
#include <if_index_vec/if_index_text.hpp>
