/* SPDX-License-Identifier: MIT */
/* Builds a small vector through the codec and prints its counts. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdio.h>

int main(void) {
    if_index_vector_t vec;
    uint32_t ifx;
    uint8_t port;

    if_index_vector_init(&vec);

    /* fc1/1 .. fc1/4 and fc2/1: slot 0 ports 0-3, slot 1 port 0. */
    for (port = 0; port < 4; ++port) {
        if_index_phy_fc_port_init(&ifx, 0, port, 0);
        if_index_vector_add(&vec, ifx);
    }
    if_index_phy_fc_port_init(&ifx, 1, 0, 0);
    if_index_vector_add(&vec, ifx);

    if_index_port_channel_init(&ifx, 7);
    if_index_vector_add(&vec, ifx);
    if_index_iscsi_port_init(&ifx, 2, 5);
    if_index_vector_add(&vec, ifx);
    if_index_fcmpls_tnnl_init(&ifx, 4095);
    if_index_vector_add(&vec, ifx);
    /* No codec call builds a type-6 if_index: the platform hands them out.
     * 0x06000001 is mgmt1 in the stand-in codec's encoding. */
    if_index_vector_add(&vec, 0x06000001u);

    /* An unheld type (type 2 in the stand-in's encoding) is refused and
     * changes nothing. */
    if (if_index_vector_add(&vec, 0x02000001u) != IF_INDEX_VECTOR_BAD_TYPE)
        return 1;

    printf("members:      %u\n", (unsigned)if_index_vector_num_if(&vec));
    printf("phy_fc:       %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_PHY_FC));
    printf("port_channel: %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_PORT_CHANNEL));
    printf("iscsi:        %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_ISCSI));
    printf("fc_tunnel:    %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_FC_TUNNEL));
    printf("single:       %u\n", (unsigned)if_index_vector_num_if_type(&vec, IF_TYPE_SINGLE));
    return 0;
}
