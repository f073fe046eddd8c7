/* The record's layout as callers see it, checked at run time on the host
 * that runs the test: its size and field offsets, and the exact bytes that
 * the library writes for one member of each type, read through a plain byte
 * view of the record rather than through the struct's field names. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdio.h>
#include <string.h>

static int failures;

#define CHECK_EQ(got, want)                                                        \
    do {                                                                           \
        unsigned long got_ = (unsigned long)(got), want_ = (unsigned long)(want); \
        if (got_ != want_) {                                                       \
            fprintf(stderr, "%s:%d: %s is %lu, expected %lu\n", __FILE__, __LINE__, \
                    #got, got_, want_);                                            \
            ++failures;                                                            \
        }                                                                          \
    } while (0)

static uint32_t u32_at(const unsigned char *rec, size_t offset) {
    uint32_t v;
    memcpy(&v, rec + offset, sizeof v);
    return v;
}

int main(void) {
    static const struct {
        size_t offset;
        uint32_t bytes;
    } counts[] = {{4, 128}, {136, 32}, {172, 128}, {304, 512}};
    if_index_vector_t vec;
    unsigned char before[sizeof vec], after[sizeof vec];
    uint32_t fc, pc, iscsi, tunnel, mgmt;
    size_t i;
    unsigned changed = 0;

    CHECK_EQ(sizeof(if_index_vector_t), 824);
    CHECK_EQ(offsetof(if_index_vector_t, num_if), 0);
    CHECK_EQ(offsetof(if_index_vector_t, phy_fc.num_bytes), 4);
    CHECK_EQ(offsetof(if_index_vector_t, phy_fc.bits), 8);
    CHECK_EQ(offsetof(if_index_vector_t, port_channel.num_bytes), 136);
    CHECK_EQ(offsetof(if_index_vector_t, port_channel.bits), 140);
    CHECK_EQ(offsetof(if_index_vector_t, iscsi.num_bytes), 172);
    CHECK_EQ(offsetof(if_index_vector_t, iscsi.bits), 176);
    CHECK_EQ(offsetof(if_index_vector_t, fc_tunnel.num_bytes), 304);
    CHECK_EQ(offsetof(if_index_vector_t, fc_tunnel.bits), 308);
    CHECK_EQ(offsetof(if_index_vector_t, single_if_index), 820);

    /* init: the byte counts in host order at their offsets, everything else 0 */
    memset(&vec, 0xA5, sizeof vec);
    if_index_vector_init(&vec);
    memcpy(before, &vec, sizeof vec);
    for (i = 0; i < sizeof counts / sizeof counts[0]; ++i) {
        CHECK_EQ(u32_at(before, counts[i].offset), counts[i].bytes);
        memset(before + counts[i].offset, 0, 4);
    }
    for (i = 0; i < sizeof before; ++i)
        changed += before[i] != 0;
    CHECK_EQ(changed, 0);

    /* One member per type, each at the first or last position of its bitmap
     * (or, for iscsi, position 8: the first bit of the second byte). */
    if_index_phy_fc_port_init(&fc, 0, 0, 0);
    if_index_port_channel_init(&pc, 255);
    if_index_iscsi_port_init(&iscsi, 0, 8);
    if_index_fcmpls_tnnl_init(&tunnel, 4095);
    if_index_init(&mgmt, IF_TYPE_SINGLE, 3);
    memcpy(before, &vec, sizeof vec);
    CHECK_EQ(if_index_vector_add(&vec, fc), IF_INDEX_VECTOR_OK);
    CHECK_EQ(if_index_vector_add(&vec, pc), IF_INDEX_VECTOR_OK);
    CHECK_EQ(if_index_vector_add(&vec, iscsi), IF_INDEX_VECTOR_OK);
    CHECK_EQ(if_index_vector_add(&vec, tunnel), IF_INDEX_VECTOR_OK);
    CHECK_EQ(if_index_vector_add(&vec, mgmt), IF_INDEX_VECTOR_OK);
    memcpy(after, &vec, sizeof vec);

    CHECK_EQ(u32_at(after, 0), 5);
    CHECK_EQ(after[8], 0x80);         /* phy_fc position 0 */
    CHECK_EQ(after[140 + 31], 0x01);  /* port_channel position 255 */
    CHECK_EQ(after[176 + 1], 0x80);   /* iscsi position 8 */
    CHECK_EQ(after[308 + 511], 0x01); /* fc_tunnel position 4095 */
    CHECK_EQ(u32_at(after, 820), mgmt);
    changed = 0;
    for (i = 0; i < sizeof after; ++i)
        changed += after[i] != before[i];
    /* num_if's low byte, four bitmap bytes, and the slot's non-zero bytes */
    CHECK_EQ(changed, 1 + 4 + (unsigned)((mgmt >> 24 != 0) + ((mgmt >> 16 & 0xFF) != 0) +
                                         ((mgmt >> 8 & 0xFF) != 0) + ((mgmt & 0xFF) != 0)));

    printf("record layout on this host (%s-endian): %d failed\n",
           after[820] == (unsigned char)(mgmt >> 24) ? "big" : "little", failures);
    return failures != 0;
}
