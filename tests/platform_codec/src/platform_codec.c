/* SPDX-License-Identifier: MIT */
/* A second interface-index codec, for tests: see if_index_codec.h. */
#include <if_index_codec/if_index_codec.h>

#include <stdio.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

enum { PHY_FC = 1, PORT_CHANNEL = 4, MGMT = 6, ISCSI = 11, FC_TUNNEL = 15 };

static unsigned type_of(uint32_t v) { return (v >> 20) & 0xFFu; }
static uint32_t payload_of(uint32_t v) { return v & 0xFFFFFu; }
static uint32_t make(unsigned type, uint32_t payload) { return 0xA0000000u | (uint32_t)type << 20 | payload; }
static int ported(unsigned type) { return type == PHY_FC || type == ISCSI; }

static int valid(uint32_t v) {
    unsigned t = type_of(v);
    uint32_t fields = ported(t) ? 0x3FFFu : t == PORT_CHANNEL || t == FC_TUNNEL ? 0xFFFFu : 0xFFFFFu;
    return (v >> 28) == 0xA && t != 0 && (payload_of(v) & ~fields) == 0 && (t != MGMT || payload_of(v) != 0);
}

static uint32_t expect(uint32_t v, unsigned type) {
    return !valid(v) ? IFX_E_NOT_AN_IF_INDEX : type_of(v) != type ? IFX_E_WRONG_TYPE : IFX_OK;
}

EXPORT uint32_t if_index_get_type(uint32_t if_index, ifx_type_desc *desc) {
    if (!valid(if_index))
        return IFX_E_NOT_AN_IF_INDEX;
    memset(desc, 0, sizeof *desc);
    desc->code = (uint8_t)type_of(if_index);
    memcpy(desc->unit, &if_index, sizeof desc->unit);
    return IFX_OK;
}

static uint32_t get_slot_port(uint32_t v, unsigned type, uint8_t *slot, uint8_t *port) {
    uint32_t st = expect(v, type);
    if (st == IFX_OK)
        *slot = (uint8_t)(payload_of(v) >> 6), *port = (uint8_t)(v & 0x3Fu);
    return st;
}

static uint32_t make_slot_port(uint32_t *out, unsigned type, uint8_t slot, uint8_t port) {
    if (port >= 64)
        return IFX_E_OUT_OF_RANGE;
    *out = make(type, (uint32_t)slot << 6 | port);
    return IFX_OK;
}

static uint32_t get_number(uint32_t v, unsigned type, uint16_t *number) {
    uint32_t st = expect(v, type);
    if (st == IFX_OK)
        *number = (uint16_t)payload_of(v);
    return st;
}

EXPORT uint32_t if_index_phy_fc_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port, uint8_t *speed) {
    uint32_t st = get_slot_port(if_index, PHY_FC, slot, port);
    if (st == IFX_OK)
        *speed = 32;
    return st;
}
EXPORT uint32_t if_index_phy_fc_port_init(uint32_t *if_index, uint8_t slot, uint8_t port, uint8_t speed) {
    (void)speed;
    return make_slot_port(if_index, PHY_FC, slot, port);
}
EXPORT uint32_t if_index_iscsi_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port) {
    return get_slot_port(if_index, ISCSI, slot, port);
}
EXPORT uint32_t if_index_iscsi_port_init(uint32_t *if_index, uint8_t slot, uint8_t port) {
    return make_slot_port(if_index, ISCSI, slot, port);
}
EXPORT uint32_t if_index_port_channel_get_channel_num(uint32_t if_index, uint16_t *channel) {
    return get_number(if_index, PORT_CHANNEL, channel);
}
EXPORT uint32_t if_index_port_channel_init(uint32_t *if_index, uint16_t channel) {
    return *if_index = make(PORT_CHANNEL, channel), IFX_OK;
}
EXPORT uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t if_index, uint16_t *tunnel) {
    return get_number(if_index, FC_TUNNEL, tunnel);
}
EXPORT uint32_t if_index_fcmpls_tnnl_init(uint32_t *if_index, uint16_t tunnel) {
    return *if_index = make(FC_TUNNEL, tunnel), IFX_OK;
}

EXPORT uint32_t sprintf_if_index(char *buf, uint32_t if_index) {
    static const char *const prefix[16] = {[PHY_FC] = "FC", [PORT_CHANNEL] = "PCH", [MGMT] = "MGT",
                                           [ISCSI] = "ISC", [FC_TUNNEL] = "TNL"};
    unsigned t = type_of(if_index);
    unsigned long n = (unsigned long)payload_of(if_index);
    if (!valid(if_index))
        return strcpy(buf, "?"), IFX_E_NOT_AN_IF_INDEX;
    if (t >= 16 || !prefix[t])
        sprintf(buf, "T%u.%lu", t, n);
    else if (ported(t))
        sprintf(buf, "%s%lu.%lu", prefix[t], n >> 6, n & 0x3Fu);
    else
        sprintf(buf, "%s%lu", prefix[t], n);
    return IFX_OK;
}
