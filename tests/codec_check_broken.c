/* SPDX-License-Identifier: MIT */
/* Broken codecs for if_index_codec_check's test, one fault per report section, chosen by
 * CODEC_CHECK_FAULT (port type width status name item single refused fold dup parse; see
 * each branch).  Linked into the checker, they come first in symbol lookup; the faults use
 * the stand-in's encoding without its header. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

enum { PHY_FC = 1, MGMT = 6, ISCSI = 11, FC_TUNNEL = 15 };

uint32_t if_index_get_type(uint32_t ifx, void *info);
uint32_t if_index_phy_fc_port_init(uint32_t *ifx, uint8_t slot, uint8_t port, uint8_t third);
uint32_t if_index_phy_fc_get_fields(uint32_t ifx, uint8_t *slot, uint8_t *port, uint8_t *third);
uint32_t if_index_port_channel_get_channel_num(uint32_t ifx, uint16_t *channel);
int sprintf_if_index(char *buf, uint32_t ifx);
uint32_t if_index_parse(const char *name, uint32_t *ifx);

static int fault(const char *name) {
    const char *f = getenv("CODEC_CHECK_FAULT");
    return strcmp(f == NULL || *f == '\0' ? "port" : f, name) == 0;
}

#define REAL(fn) ((__typeof__(&fn))dlsym(RTLD_NEXT, #fn))

/* A PHY_FC if_index of the stand-in's layout with a port of 64 or more. */
static int wide_port(uint32_t ifx) {
    return (fault("refused") || fault("fold")) && ifx >> 24 == PHY_FC && (ifx & 0xFF) == 0 &&
           (ifx >> 8 & 0xFF) >= 64;
}

uint32_t if_index_phy_fc_port_init(uint32_t *ifx, uint8_t slot, uint8_t port, uint8_t third) {
    return REAL(if_index_phy_fc_port_init)(ifx, slot, (uint8_t)(port + fault("port")), third);
}

uint32_t if_index_get_type(uint32_t ifx, void *info) {
    uint8_t *type = info;
    uint32_t rc;
    if (wide_port(ifx))
        return *type = PHY_FC, fault("refused") ? 7 : 0;
    rc = REAL(if_index_get_type)(ifx, info);
    if (fault("type") && *type == ISCSI)
        *type = 12;
    if (fault("status") && *type == FC_TUNNEL)
        rc = 7;
    if (fault("single") && (ifx == 0 || *type == MGMT))
        *type = ifx == 0 ? MGMT : 7, rc = 0;
    return rc;
}

uint32_t if_index_phy_fc_get_fields(uint32_t ifx, uint8_t *slot, uint8_t *port, uint8_t *third) {
    if (wide_port(ifx))
        return *slot = (uint8_t)(ifx >> 16), *port = (uint8_t)(ifx >> 8), *third = 0, 0;
    return REAL(if_index_phy_fc_get_fields)(ifx, slot, port, third);
}

uint32_t if_index_port_channel_get_channel_num(uint32_t ifx, uint16_t *channel) {
    const uint32_t rc = REAL(if_index_port_channel_get_channel_num)(ifx, channel);
    const uint32_t wide = *channel;
    if (fault("width"))
        memcpy(channel, &wide, sizeof wide);
    return rc;
}

int sprintf_if_index(char *buf, uint32_t ifx) {
    if (fault("name") && (ifx == 0x0f000fff || ifx == 0x04000007)) {
        const int n = ifx == 0x0f000fff ? 300 : 0;
        memset(buf, 'x', (size_t)n);
        buf[n] = '\0';
        return n;
    }
    if (fault("name") && ifx == 0x0f000ffe) { /* fills the checker's room of 1024 bytes */
        memset(buf, 'y', 1024);
        return 1024;
    }
    if (fault("item")) {
        static const struct {
            uint32_t ifx;
            const char *name;
        } odd[] = {{0x01000200, "fc1 3"}, {0x04000002, "port-channel,2"}, {0x0b000000, "iscsi\n1/1"},
                   {0x0f000005, "5fc-tunnel"}};
        for (size_t i = 0; i < sizeof odd / sizeof odd[0]; ++i)
            if (ifx == odd[i].ifx)
                return (int)strlen(strcpy(buf, odd[i].name));
    }
    if (fault("dup") && ifx == 0x01000100)
        ifx = 0x01000000;
    return REAL(sprintf_if_index)(buf, ifx);
}

#if IF_INDEX_VEC_CODEC_HAS_PARSE
uint32_t if_index_parse(const char *name, uint32_t *ifx) {
    const uint32_t rc = REAL(if_index_parse)(name, ifx);
    if (fault("parse") && rc == 0 && *ifx == 0x01000000)
        *ifx = 0x01000100;
    return rc;
}
#endif
