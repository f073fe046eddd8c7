/* The public header compiled as C, exercising the library through it. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdio.h>
#include <string.h>

#include "check.h"

int main(void) {
    if_index_vector_t stack;
    if_index_vector_t *heap = if_index_vector_new();
    uint32_t fc, pc, mgmt, other;

    CHECK(heap != NULL);
    if_index_vector_init(&stack);
    CHECK(memcmp(&stack, heap, sizeof stack) == 0);

    if_index_phy_fc_port_init(&fc, 1, 2, 0);
    if_index_port_channel_init(&pc, 255);
    if_index_init(&mgmt, IF_TYPE_SINGLE, 1);
    if_index_init(&other, 10, 1);

    CHECK(if_index_vector_add(heap, fc) == IF_INDEX_VECTOR_OK);
    CHECK(if_index_vector_add(heap, pc) == IF_INDEX_VECTOR_OK);
    CHECK(if_index_vector_add(heap, mgmt) == IF_INDEX_VECTOR_OK);
    CHECK(if_index_vector_add(heap, other) == IF_INDEX_VECTOR_BAD_TYPE);
    CHECK(if_index_vector_num_if(heap) == 3);
    CHECK(if_index_vector_num_if_type(heap, IF_TYPE_PORT_CHANNEL) == 1);
    CHECK(heap->port_channel.bits[31] == 0x01);
    CHECK(if_index_vector_is_present(heap, fc) == 1);

    if_index_vector_copy(&stack, heap);
    CHECK(if_index_vector_remove(&stack, pc) == IF_INDEX_VECTOR_OK);
    CHECK(if_index_vector_is_present(&stack, pc) == 0);
    CHECK(if_index_vector_num_if(&stack) == 2);
    CHECK(if_index_vector_num_if(heap) == 3);

    /* Set algebra: stack = {fc, mgmt}, heap = {fc, pc, mgmt}. */
    CHECK(if_index_vector_is_equal(&stack, heap) == 0);
    CHECK(if_index_vector_union(&stack, heap) == 3);
    CHECK(if_index_vector_is_equal(&stack, heap) == 1);
    CHECK(if_index_vector_subtract(&stack, heap) == 1);
    CHECK(if_index_vector_intersection(&stack, heap) == 1);

    /* Walks: fc, then pc, then the single-slot member is left in the cursor. */
    {
        uint32_t cursor = 0, out = 0;
        CHECK(if_index_vector_itr_begin(heap, &cursor) == IF_INDEX_VECTOR_OK && cursor == fc);
        CHECK(if_index_vector_first(heap, &out) == IF_INDEX_VECTOR_OK && out == fc);
        CHECK(if_index_vector_next(heap, fc, &out) == IF_INDEX_VECTOR_END);
        CHECK(if_index_vector_itr_incr(heap, &cursor) == IF_INDEX_VECTOR_OK && cursor == pc);
        CHECK(if_index_vector_get_next(heap, &cursor, &out) == IF_INDEX_VECTOR_END);
        CHECK(if_index_vector_itr_incr(heap, &cursor) == IF_INDEX_VECTOR_END && cursor == mgmt);
        CHECK(if_index_vector_get(heap, &cursor, &out) == IF_INDEX_VECTOR_OK && out == mgmt);
    }

    /* Output (to stdout; the exact texts are checked by the C++ tests). */
    if_index_vector_printf(heap);
    if_index_vector_printf_dec(heap);
    if_index_vector_printf_hex(heap);
    CHECK(if_index_vector_to_array(heap) == 0);
    CHECK(if_index_vector_from_array(heap, 1, "any") == 0);
    CHECK(if_index_vector_sprintf() == 0);

    if_index_vector_delete(heap);
    return CHECK_RESULT();
}
