/* SPDX-License-Identifier: MIT */
/*
 * Stand-in interface-index codec: encoding, accessors, names and parsing.
 * The encoding is documented in if_index_codec.h; every function here is a
 * pure function of its arguments.
 */
#include <if_index_codec/if_index_codec.h>

#include <stdio.h>
#include <string.h>

#define TYPE_SHIFT 24
#define PAYLOAD_MASK 0x00FFFFFFu

static uint8_t type_of(uint32_t v) { return (uint8_t)(v >> TYPE_SHIFT); }
static uint32_t payload_of(uint32_t v) { return v & PAYLOAD_MASK; }
static uint32_t make(uint8_t type, uint32_t payload) { return ((uint32_t)type << TYPE_SHIFT) | payload; }

/* A slot has 64 ports, 0-63. */
#define PORTS_PER_SLOT 64u

/* Payload bits that must be 0 for each type; an if_index with any of them
 * set is not classifiable, so that each interface has exactly one if_index. */
static uint32_t reserved_bits(uint8_t type) {
    switch (type) {
    case IF_INDEX_TYPE_PHY_FC:
    case IF_INDEX_TYPE_ISCSI: return 0x000000FFu;
    case IF_INDEX_TYPE_PORT_CHANNEL:
    case IF_INDEX_TYPE_FC_TUNNEL: return 0x00FF0000u;
    default: return 0;
    }
}

static int has_ports(uint8_t type) { return type == IF_INDEX_TYPE_PHY_FC || type == IF_INDEX_TYPE_ISCSI; }

static int classifiable(uint32_t v) {
    uint8_t t = type_of(v);
    if (v == 0 || (payload_of(v) & reserved_bits(t)) != 0)
        return 0;
    if (has_ports(t) && (uint8_t)(v >> 8) >= PORTS_PER_SLOT)
        return 0;
    return !(t == IF_INDEX_TYPE_MGMT && payload_of(v) == 0);
}

uint32_t if_index_get_type(uint32_t if_index, if_index_type_info_t *info) {
    if (!classifiable(if_index))
        return IF_INDEX_CODEC_EINVAL;
    memset(info, 0, sizeof *info);
    info->type = type_of(if_index);
    info->number = payload_of(if_index);
    return IF_INDEX_CODEC_OK;
}

static uint32_t check(uint32_t if_index, uint8_t type) {
    if (!classifiable(if_index))
        return IF_INDEX_CODEC_EINVAL;
    return type_of(if_index) == type ? IF_INDEX_CODEC_OK : IF_INDEX_CODEC_ETYPE;
}

uint32_t if_index_phy_fc_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port, uint8_t *reserved) {
    uint32_t st = check(if_index, IF_INDEX_TYPE_PHY_FC);
    if (st != IF_INDEX_CODEC_OK)
        return st;
    *slot = (uint8_t)(if_index >> 16);
    *port = (uint8_t)(if_index >> 8);
    *reserved = 0;
    return IF_INDEX_CODEC_OK;
}

uint32_t if_index_phy_fc_port_init(uint32_t *if_index, uint8_t slot, uint8_t port, uint8_t reserved) {
    (void)reserved;
    if (port >= PORTS_PER_SLOT)
        return IF_INDEX_CODEC_ERANGE;
    *if_index = make(IF_INDEX_TYPE_PHY_FC, ((uint32_t)slot << 16) | ((uint32_t)port << 8));
    return IF_INDEX_CODEC_OK;
}

uint32_t if_index_port_channel_get_channel_num(uint32_t if_index, uint16_t *channel) {
    uint32_t st = check(if_index, IF_INDEX_TYPE_PORT_CHANNEL);
    if (st == IF_INDEX_CODEC_OK)
        *channel = (uint16_t)if_index;
    return st;
}

uint32_t if_index_port_channel_init(uint32_t *if_index, uint16_t channel) {
    *if_index = make(IF_INDEX_TYPE_PORT_CHANNEL, channel);
    return IF_INDEX_CODEC_OK;
}

uint32_t if_index_iscsi_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port) {
    uint32_t st = check(if_index, IF_INDEX_TYPE_ISCSI);
    if (st != IF_INDEX_CODEC_OK)
        return st;
    *slot = (uint8_t)(if_index >> 16);
    *port = (uint8_t)(if_index >> 8);
    return IF_INDEX_CODEC_OK;
}

uint32_t if_index_iscsi_port_init(uint32_t *if_index, uint8_t slot, uint8_t port) {
    if (port >= PORTS_PER_SLOT)
        return IF_INDEX_CODEC_ERANGE;
    *if_index = make(IF_INDEX_TYPE_ISCSI, ((uint32_t)slot << 16) | ((uint32_t)port << 8));
    return IF_INDEX_CODEC_OK;
}

uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t if_index, uint16_t *tunnel) {
    uint32_t st = check(if_index, IF_INDEX_TYPE_FC_TUNNEL);
    if (st == IF_INDEX_CODEC_OK)
        *tunnel = (uint16_t)if_index;
    return st;
}

uint32_t if_index_fcmpls_tnnl_init(uint32_t *if_index, uint16_t tunnel) {
    *if_index = make(IF_INDEX_TYPE_FC_TUNNEL, tunnel);
    return IF_INDEX_CODEC_OK;
}

int sprintf_if_index(char *buf, uint32_t if_index) {
    uint8_t t = type_of(if_index);
    unsigned hi = (unsigned)(uint8_t)(if_index >> 16), lo = (unsigned)(uint8_t)(if_index >> 8);
    if (!classifiable(if_index))
        return sprintf(buf, "invalid");
    switch (t) {
    case IF_INDEX_TYPE_PHY_FC: return sprintf(buf, "fc%u/%u", hi + 1, lo + 1);
    case IF_INDEX_TYPE_ISCSI: return sprintf(buf, "iscsi%u/%u", hi + 1, lo + 1);
    case IF_INDEX_TYPE_PORT_CHANNEL: return sprintf(buf, "port-channel%u", (unsigned)(uint16_t)if_index);
    case IF_INDEX_TYPE_FC_TUNNEL: return sprintf(buf, "fc-tunnel%u", (unsigned)(uint16_t)if_index);
    case IF_INDEX_TYPE_MGMT: return sprintf(buf, "mgmt%lu", (unsigned long)payload_of(if_index));
    default: return sprintf(buf, "type%u:%lu", (unsigned)t, (unsigned long)payload_of(if_index));
    }
}

#ifndef IF_INDEX_CODEC_TEN_CALLS
/* ---- Beyond the ten platform calls ------------------------------------- */

uint32_t if_index_init(uint32_t *if_index, uint8_t type, uint32_t number) {
    uint32_t v;
    switch (type) {
    case IF_INDEX_TYPE_PHY_FC:
    case IF_INDEX_TYPE_ISCSI:
        if (number > 0xFFFFu)
            return IF_INDEX_CODEC_ERANGE;
        v = make(type, number << 8);
        break;
    case IF_INDEX_TYPE_PORT_CHANNEL:
    case IF_INDEX_TYPE_FC_TUNNEL:
        if (number > 0xFFFFu)
            return IF_INDEX_CODEC_ERANGE;
        v = make(type, number);
        break;
    default:
        if (number > PAYLOAD_MASK)
            return IF_INDEX_CODEC_ERANGE;
        v = make(type, number);
        break;
    }
    if (!classifiable(v))
        return IF_INDEX_CODEC_ERANGE;
    *if_index = v;
    return IF_INDEX_CODEC_OK;
}

/* Reads a canonical decimal number (no sign, no leading zero, no blank) of at
 * most `max`; advances *s past it. */
static uint32_t parse_number(const char **s, uint32_t max, uint32_t *out) {
    const char *p = *s;
    uint32_t v = 0;
    if (*p < '0' || *p > '9' || (p[0] == '0' && p[1] >= '0' && p[1] <= '9'))
        return IF_INDEX_CODEC_EINVAL;
    for (; *p >= '0' && *p <= '9'; ++p) {
        uint32_t d = (uint32_t)(*p - '0');
        if (v > (max - d) / 10)
            return IF_INDEX_CODEC_ERANGE;
        v = v * 10 + d;
    }
    *s = p;
    *out = v;
    return IF_INDEX_CODEC_OK;
}

/* The types printed by name rather than as "type<code>:<number>". */
static int is_named_type(uint8_t type) {
    return type == IF_INDEX_TYPE_PHY_FC || type == IF_INDEX_TYPE_PORT_CHANNEL || type == IF_INDEX_TYPE_MGMT ||
           type == IF_INDEX_TYPE_ISCSI || type == IF_INDEX_TYPE_FC_TUNNEL;
}

static int starts_with(const char **s, const char *prefix) {
    size_t n = strlen(prefix);
    if (strncmp(*s, prefix, n) != 0)
        return 0;
    *s += n;
    return 1;
}

/* "<slot+1>/<port+1>" with both in 1..256. */
static uint32_t parse_slot_port(const char *s, uint8_t type, uint32_t *if_index) {
    uint32_t slot, port, st;
    if ((st = parse_number(&s, 256, &slot)) != IF_INDEX_CODEC_OK)
        return st;
    if (*s++ != '/')
        return IF_INDEX_CODEC_EINVAL;
    if ((st = parse_number(&s, 256, &port)) != IF_INDEX_CODEC_OK)
        return st;
    if (*s != '\0')
        return IF_INDEX_CODEC_EINVAL;
    if (slot == 0 || port == 0)
        return IF_INDEX_CODEC_ERANGE;
    return if_index_init(if_index, type, (slot - 1) * 256 + (port - 1));
}

static uint32_t parse_tail_number(const char *s, uint8_t type, uint32_t max, uint32_t *if_index) {
    uint32_t n, st;
    if ((st = parse_number(&s, max, &n)) != IF_INDEX_CODEC_OK)
        return st;
    if (*s != '\0')
        return IF_INDEX_CODEC_EINVAL;
    return if_index_init(if_index, type, n);
}

uint32_t if_index_parse(const char *name, uint32_t *if_index) {
    const char *s = name;
    uint32_t code, st;
    /* Longer prefixes first: "fc-tunnel" before "fc". */
    if (starts_with(&s, "fc-tunnel"))
        return parse_tail_number(s, IF_INDEX_TYPE_FC_TUNNEL, 0xFFFFu, if_index);
    if (starts_with(&s, "fc"))
        return parse_slot_port(s, IF_INDEX_TYPE_PHY_FC, if_index);
    if (starts_with(&s, "iscsi"))
        return parse_slot_port(s, IF_INDEX_TYPE_ISCSI, if_index);
    if (starts_with(&s, "port-channel"))
        return parse_tail_number(s, IF_INDEX_TYPE_PORT_CHANNEL, 0xFFFFu, if_index);
    if (starts_with(&s, "mgmt"))
        return parse_tail_number(s, IF_INDEX_TYPE_MGMT, PAYLOAD_MASK, if_index);
    if (!starts_with(&s, "type"))
        return IF_INDEX_CODEC_EINVAL;
    if ((st = parse_number(&s, 255, &code)) != IF_INDEX_CODEC_OK)
        return st;
    /* Named types have one spelling only. */
    if (*s++ != ':' || is_named_type((uint8_t)code))
        return IF_INDEX_CODEC_EINVAL;
    return parse_tail_number(s, (uint8_t)code, PAYLOAD_MASK, if_index);
}
#endif /* IF_INDEX_CODEC_TEN_CALLS */
