/* SPDX-License-Identifier: MIT */
/* The public header on its own, twice: it needs no other include.  (test_c.c
 * calls every function through it.) */
#include <if_index_vec/if_index_vector.h>
#include <if_index_vec/if_index_vector.h>

typedef char if_index_vec_version_check[IF_INDEX_VEC_VERSION >= IF_INDEX_VEC_VERSION_OF(1, 0, 0) ? 1 : -1];
