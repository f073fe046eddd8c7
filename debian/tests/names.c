/* The names the installed codec gives the interfaces that consumer.c and
 * consumer.cpp add, each after the name the stand-in codec gives it (the
 * one consumer.c{,pp}.expected show), separated by a tab: "fc1/4\tfc1/4"
 * with the stand-in.  The consumer test puts the first name by the second
 * in the expected outputs, so that they hold for whichever codec is
 * installed; the library's own output is compared byte for byte. */
#include <if_index_codec/if_index_codec.h>
#include <stdint.h>
#include <stdio.h>

static int show(const char *standin, uint32_t status, uint32_t ifx) {
    char name[256] = "";
    /* What sprintf_if_index returns differs between codecs (a length, a
     * status); as for the library, the name is what it writes. */
    if (status == 0)
        (void)sprintf_if_index(name, ifx);
    if (name[0] == '\0') {
        fprintf(stderr, "names: the codec refuses %s (0x%08x)\n", standin, (unsigned)ifx);
        return 1;
    }
    printf("%s\t%s\n", standin, name);
    return 0;
}

int main(void) {
    uint32_t ifx = 0;
    int failed = 0;
    uint32_t status = if_index_phy_fc_port_init(&ifx, 0, 3, 0);
    failed |= show("fc1/4", status, ifx);
    status = if_index_port_channel_init(&ifx, 7);
    failed |= show("port-channel7", status, ifx);
    status = if_index_iscsi_port_init(&ifx, 1, 5);
    failed |= show("iscsi2/6", status, ifx);
    status = if_index_fcmpls_tnnl_init(&ifx, 4095);
    failed |= show("fc-tunnel4095", status, ifx);
    return failed;
}
