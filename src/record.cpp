// SPDX-License-Identifier: MIT
// Record lifecycle and the stored count.
#include <if_index_vec/if_index_vector.h>

#include <cstdlib>
#include <cstring>

extern "C" {

if_index_vector_t *if_index_vector_new(void) {
    auto *v = static_cast<if_index_vector_t *>(std::malloc(sizeof(if_index_vector_t)));
    if (v != nullptr)
        if_index_vector_init(v);
    return v;
}

void if_index_vector_init(if_index_vector_t *vec) {
    std::memset(vec, 0, sizeof *vec);
    vec->phy_fc.num_bytes = sizeof vec->phy_fc.bits;
    vec->port_channel.num_bytes = sizeof vec->port_channel.bits;
    vec->iscsi.num_bytes = sizeof vec->iscsi.bits;
    vec->fc_tunnel.num_bytes = sizeof vec->fc_tunnel.bits;
}

void if_index_vector_delete(if_index_vector_t *vec) { std::free(vec); }

void if_index_vector_copy(if_index_vector_t *dst, const if_index_vector_t *src) {
    // memmove: a caller copying a record onto itself gets the record back.
    std::memmove(dst, src, sizeof *dst);
}

uint32_t if_index_vector_num_if(const if_index_vector_t *vec) { return vec->num_if; }

} // extern "C"
