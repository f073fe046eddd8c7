/* SPDX-License-Identifier: MIT */
/* The C interface from C: every function through the public header, and,
 * where the build has no sanitizer allocator, the library with malloc
 * failing (this program then supplies malloc, failing while `failing`). */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

static int failures, failing;
#define CHECK(cond) ((cond) ? (void)0 : (void)(++failures, fprintf(stderr, "line %d: %s\n", __LINE__, #cond)))

#ifdef IF_INDEX_VEC_TEST_MALLOC
extern void *__libc_malloc(size_t size);
void *malloc(size_t size) { return failing ? NULL : __libc_malloc(size); }
#endif

/* printf_dec's text, with allocations failing or not. */
static const char *dec_text(const if_index_vector_t *vec, int fail) {
    static char out[256];
    FILE *tmp = tmpfile();
    int saved = dup(1);
    fflush(stdout);
    dup2(fileno(tmp), 1);
    failing = fail;
    if_index_vector_printf_dec(vec);
    fflush(stdout);
    failing = 0;
    dup2(saved, 1);
    close(saved);
    rewind(tmp);
    out[fread(out, 1, sizeof out - 1, tmp)] = '\0';
    fclose(tmp);
    return out;
}

int main(void) {
    if_index_vector_t stack, *heap = if_index_vector_new();
    uint32_t fc, pc, mgmt, cursor = 0, out = 0;
    setvbuf(stdout, NULL, _IOFBF, BUFSIZ); /* stdout gets its buffer now, not while malloc fails */
    if_index_vector_init(&stack);
    if_index_phy_fc_port_init(&fc, 0, 3, 0);
    if_index_port_channel_init(&pc, 255);
    mgmt = 0x06000001u; /* the stand-in's mgmt1: no platform call builds a type-6 if_index */
    CHECK(heap != NULL && memcmp(&stack, heap, sizeof stack) == 0);
    CHECK(!if_index_vector_add(heap, fc) && !if_index_vector_add(heap, pc) &&
          !if_index_vector_add(heap, mgmt));
    CHECK(if_index_vector_num_if(heap) == 3 && if_index_vector_num_if_type(heap, IF_TYPE_PORT_CHANNEL) == 1);
    if_index_vector_copy(&stack, heap);
    CHECK(!if_index_vector_remove(&stack, pc) && !if_index_vector_is_present(&stack, pc));
    CHECK(!if_index_vector_is_equal(&stack, heap) && if_index_vector_union(&stack, heap) == 3);
    CHECK(if_index_vector_subtract(&stack, heap) == 1 && if_index_vector_intersection(&stack, heap) == 1);
    CHECK(!if_index_vector_itr_begin(heap, &cursor) && !if_index_vector_first(heap, &out) && out == fc);
    CHECK(if_index_vector_next(heap, fc, &out) == IF_INDEX_VECTOR_END);
    CHECK(!if_index_vector_itr_incr(heap, &cursor) && cursor == pc);
    CHECK(if_index_vector_get_next(heap, &cursor, &out) == IF_INDEX_VECTOR_END);
    CHECK(if_index_vector_itr_incr(heap, &cursor) == IF_INDEX_VECTOR_END && cursor == mgmt);
    CHECK(!if_index_vector_get(heap, &cursor, &out) && out == mgmt);
    if_index_vector_printf(heap);
    if_index_vector_printf_hex(heap);
    CHECK(!if_index_vector_to_array(heap) && !if_index_vector_from_array(heap, 1, "any") &&
          !if_index_vector_sprintf());
#ifdef IF_INDEX_VEC_TEST_MALLOC
    /* Without the heap buffer each line keeps its header and loses its text. */
    CHECK(!strcmp(dec_text(heap, 1), "No. of interfaces: 3\nPHY_FC interfaces: \nPORT_CHANNEL interfaces: \n"
                                     "ISCSI interfaces: \nFC-TUNNEL interfaces: \n"));
    CHECK((failing = 1, if_index_vector_new() == NULL));
    failing = 0;
#else
    CHECK(!strncmp(dec_text(heap, 0), "No. of interfaces: 3\nPHY_FC interfaces: 3\n", 41));
#endif
    if_index_vector_delete(heap);
    if_index_vector_delete(NULL);
    return failures != 0;
}
