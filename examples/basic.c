/* SPDX-License-Identifier: MIT */
/* Builds a small vector through the codec's constructors and prints its
 * counts.  No codec call builds the single slot's if_indexes (type 6): the
 * platform hands them out, so one comes from the command line
 * (`ifvec_example 0x06000001` adds the stand-in codec's mgmt1).  Whatever
 * fails is named on stderr, and the exit status is 1. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdio.h>
#include <stdlib.h>

/* Adds *ifx, which a codec call has just built with status `built`, to vec. */
static int add(if_index_vector_t *vec, uint32_t built, const uint32_t *ifx, const char *what) {
    uint32_t rc = built;
    if (rc != 0)
        fprintf(stderr, "%s: the codec gives status %lu\n", what, (unsigned long)rc);
    else if ((rc = if_index_vector_add(vec, *ifx)) != IF_INDEX_VECTOR_OK)
        fprintf(stderr, "%s (0x%08lx): if_index_vector_add gives %lu\n", what, (unsigned long)*ifx,
                (unsigned long)rc);
    return rc == 0;
}

int main(int argc, char **argv) {
    if_index_vector_t vec;
    uint32_t ifx;
    uint8_t port;
    char *end;

    if_index_vector_init(&vec);
    /* Slot 0 ports 0-3 and slot 1 port 0 (fc1/1-4 and fc2/1 in the stand-in's names). */
    for (port = 0; port < 4; ++port)
        if (!add(&vec, if_index_phy_fc_port_init(&ifx, 0, port, 0), &ifx, "phy_fc slot 0"))
            return 1;
    if (!add(&vec, if_index_phy_fc_port_init(&ifx, 1, 0, 0), &ifx, "phy_fc slot 1 port 0") ||
        !add(&vec, if_index_port_channel_init(&ifx, 7), &ifx, "port channel 7") ||
        !add(&vec, if_index_iscsi_port_init(&ifx, 2, 5), &ifx, "iscsi slot 2 port 5") ||
        !add(&vec, if_index_fcmpls_tnnl_init(&ifx, 4095), &ifx, "fc tunnel 4095"))
        return 1;
    if (argc > 1) {
        ifx = (uint32_t)strtoul(argv[1], &end, 0);
        if (*end != '\0' || end == argv[1])
            return fprintf(stderr, "%s: not an if_index\n", argv[1]), 1;
        if (!add(&vec, 0, &ifx, argv[1]))
            return 1;
    }

    printf("members:      %u\n", (unsigned)if_index_vector_num_if(&vec));
    printf("phy_fc:       %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_PHY_FC));
    printf("port_channel: %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_PORT_CHANNEL));
    printf("iscsi:        %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_ISCSI));
    printf("fc_tunnel:    %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_FC_TUNNEL));
    printf("single:       %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_SINGLE));
    return 0;
}
