/* The public header on its own, compiled as C and as C++ in each standard
 * the header claims: it must need no other include, survive being included
 * twice, and declare all 25 functions. */
#include <if_index_vec/if_index_vector.h>
#include <if_index_vec/if_index_vector.h>

void if_index_vector_header_alone(void);

void if_index_vector_header_alone(void) {
    if_index_vector_t vec;
    uint32_t out = 0;
    (void)vec;
    (void)out;
    (void)sizeof(char[IF_INDEX_VEC_VERSION >= IF_INDEX_VEC_VERSION_OF(1, 0, 0) ? 1 : -1]);
    (void)&if_index_vector_new;
    (void)&if_index_vector_init;
    (void)&if_index_vector_delete;
    (void)&if_index_vector_copy;
    (void)&if_index_vector_num_if;
    (void)&if_index_vector_add;
    (void)&if_index_vector_remove;
    (void)&if_index_vector_is_present;
    (void)&if_index_vector_num_if_type;
    (void)&if_index_vector_union;
    (void)&if_index_vector_intersection;
    (void)&if_index_vector_subtract;
    (void)&if_index_vector_is_equal;
    (void)&if_index_vector_first;
    (void)&if_index_vector_next;
    (void)&if_index_vector_get_next;
    (void)&if_index_vector_itr_begin;
    (void)&if_index_vector_itr_incr;
    (void)&if_index_vector_get;
    (void)&if_index_vector_printf;
    (void)&if_index_vector_printf_dec;
    (void)&if_index_vector_printf_hex;
    (void)&if_index_vector_to_array;
    (void)&if_index_vector_from_array;
    (void)&if_index_vector_sprintf;
}
