/* A C99 program of an outside project, built against the installed
 * packages through pkg-config by the consumer test (debian/tests/consumer)
 * and by .ci/check-debs: the version header, two interfaces added through
 * the codec's constructors (each result checked), both printouts.  consumer.c.expected holds what
 * it prints after the version line. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>
#include <if_index_vec/version.h>
#include <stdio.h>

int main(void) {
    if_index_vector_t v;
    uint32_t ifx;
    if_index_vector_init(&v);
    if (if_index_phy_fc_port_init(&ifx, 0, 3, 0) != 0 || if_index_vector_add(&v, ifx) != IF_INDEX_VECTOR_OK)
        return fputs("consumer: slot 0 port 3 not added\n", stderr), 1;
    if (if_index_port_channel_init(&ifx, 7) != 0 || if_index_vector_add(&v, ifx) != IF_INDEX_VECTOR_OK)
        return fputs("consumer: port channel 7 not added\n", stderr), 1;
    printf("%d.%d.%d\n", IF_INDEX_VEC_VERSION_MAJOR, IF_INDEX_VEC_VERSION_MINOR, IF_INDEX_VEC_VERSION_PATCH);
    if_index_vector_printf(&v);
    if_index_vector_printf_dec(&v);
    return 0;
}
