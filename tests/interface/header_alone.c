/* SPDX-License-Identifier: MIT */
/* A public header (HEADER) on its own, twice: it needs no other include. */
#include HEADER
#include HEADER
#ifdef IF_INDEX_VEC_VERSION
typedef char if_index_vec_version_check[IF_INDEX_VEC_VERSION >= IF_INDEX_VEC_VERSION_OF(1, 0, 0) ? 1 : -1];
#endif
typedef int if_index_vec_not_empty;
