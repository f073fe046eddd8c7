/* SPDX-License-Identifier: MIT */
/* A second interface-index codec, for tests: see if_index_codec.h. */
#include <if_index_codec/if_index_codec.h>

#include <stdio.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

enum { PHY_FC = 1, PORT_CHANNEL = 4, MGMT = 6, ISCSI = 11, FC_TUNNEL = 15 };

#define MARK 0xA0000000u
#define PAYLOAD 0x000FFFFFu

static unsigned type_of(uint32_t v) { return (v >> 20) & 0xFFu; }
static uint32_t payload_of(uint32_t v) { return v & PAYLOAD; }
static uint32_t make(unsigned type, uint32_t payload) { return MARK | (uint32_t)type << 20 | payload; }

/* The payload bits a type may use. */
static uint32_t field_bits(unsigned type) {
    switch (type) {
    case PHY_FC:
    case ISCSI: return 0x3FFFu; /* 8-bit slot, 6-bit port */
    case PORT_CHANNEL:
    case FC_TUNNEL: return 0xFFFFu;
    default: return PAYLOAD;
    }
}

static int valid(uint32_t v) {
    unsigned t = type_of(v);
    if ((v & 0xF0000000u) != MARK || t == 0 || (payload_of(v) & ~field_bits(t)) != 0)
        return 0;
    return t != MGMT || payload_of(v) != 0;
}

static uint32_t expect(uint32_t v, unsigned type) {
    if (!valid(v))
        return IFX_E_NOT_AN_IF_INDEX;
    return type_of(v) == type ? IFX_OK : IFX_E_WRONG_TYPE;
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
    if (st == IFX_OK) {
        *slot = (uint8_t)(payload_of(v) >> 6);
        *port = (uint8_t)(v & 0x3Fu);
    }
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

EXPORT uint32_t if_index_port_channel_get_channel_num(uint32_t if_index, uint16_t *channel) {
    return get_number(if_index, PORT_CHANNEL, channel);
}

EXPORT uint32_t if_index_port_channel_init(uint32_t *if_index, uint16_t channel) {
    *if_index = make(PORT_CHANNEL, channel);
    return IFX_OK;
}

EXPORT uint32_t if_index_iscsi_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port) {
    return get_slot_port(if_index, ISCSI, slot, port);
}

EXPORT uint32_t if_index_iscsi_port_init(uint32_t *if_index, uint8_t slot, uint8_t port) {
    return make_slot_port(if_index, ISCSI, slot, port);
}

EXPORT uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t if_index, uint16_t *tunnel) {
    return get_number(if_index, FC_TUNNEL, tunnel);
}

EXPORT uint32_t if_index_fcmpls_tnnl_init(uint32_t *if_index, uint16_t tunnel) {
    *if_index = make(FC_TUNNEL, tunnel);
    return IFX_OK;
}

EXPORT uint32_t sprintf_if_index(char *buf, uint32_t if_index) {
    unsigned t = type_of(if_index), slot = (payload_of(if_index) >> 6) & 0xFFu, port = if_index & 0x3Fu;
    unsigned long n = (unsigned long)payload_of(if_index);
    if (!valid(if_index))
        return strcpy(buf, "?"), IFX_E_NOT_AN_IF_INDEX;
    switch (t) {
    case PHY_FC: sprintf(buf, "FC%u.%u", slot, port); break;
    case ISCSI: sprintf(buf, "ISC%u.%u", slot, port); break;
    case PORT_CHANNEL: sprintf(buf, "PCH%lu", n); break;
    case FC_TUNNEL: sprintf(buf, "TNL%lu", n); break;
    case MGMT: sprintf(buf, "MGT%lu", n); break;
    default: sprintf(buf, "T%u.%lu", t, n); break;
    }
    return IFX_OK;
}
