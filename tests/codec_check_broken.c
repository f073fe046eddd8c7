/* SPDX-License-Identifier: MIT */
/* A deliberately broken codec for if_index_codec_check's own test: the
 * PHY_FC constructor builds the if_index of the next port.  Linked into the
 * checker's executable, this definition comes first in symbol lookup, for
 * the checker and the library alike; every other call is the stand-in's. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>

uint32_t if_index_phy_fc_port_init(uint32_t *ifx, uint8_t slot, uint8_t port, uint8_t third) {
    uint32_t (*real)(uint32_t *, uint8_t, uint8_t, uint8_t);
    *(void **)&real = dlsym(RTLD_NEXT, "if_index_phy_fc_port_init");
    return real(ifx, slot, (uint8_t)(port + 1), third);
}
