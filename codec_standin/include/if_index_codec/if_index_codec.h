/* SPDX-License-Identifier: MIT */
/*
 * if_index_codec.h - stand-in interface-index codec.
 *
 * An if_index is an unsigned 32-bit handle for one interface of the switch.
 * This library turns if_indexes into type codes and fields and back, and
 * prints them by name.  It is a small, self-contained stand-in for the
 * platform codec, with the same calls and field widths, so that the
 * interface-index vector library can be built, run and tested anywhere.
 *
 * Encoding (bit 31 is the most significant bit):
 *
 *   bits 31..24  type code (0-255)
 *   bits 23..0   payload, laid out per type:
 *
 *   type  name             payload                        printed as
 *   ----  ---------------  -----------------------------  ------------------
 *      1  PHY_FC           slot<<16 | port<<8 | 0         fc<slot+1>/<port+1>
 *      4  PORT_CHANNEL     0 | channel (16 bits)          port-channel<n>
 *      6  MGMT (single)    number (24 bits, not 0)        mgmt<n>
 *     11  ISCSI            slot<<16 | port<<8 | 0         iscsi<slot+1>/<port+1>
 *     15  FC-TUNNEL        0 | tunnel (16 bits)           fc-tunnel<n>
 *   other                  number (24 bits)               type<code>:<n>
 *
 * Slots are 8-bit fields and channel and tunnel numbers 16-bit fields, and
 * every value they can hold has an if_index, including values beyond what a
 * vector can store (slot 16, channel 256, tunnel 4096, ...).  Ports are
 * 8-bit fields that hold 0-63 only: a slot has 64 ports, so that
 * slot * 64 + port names each port of each slot once.
 *
 * A value is unclassifiable, and if_index_get_type() fails on it, when it is
 * 0 (no interface), when a type 1/4/11/15 if_index has non-zero bits where
 * its layout above shows 0, when a type 1/11 if_index has a port of 64 or
 * more, or when a type-6 if_index has number 0.  Every classifiable if_index
 * round-trips exactly through its accessor and constructor, and through
 * sprintf_if_index() / if_index_parse().
 *
 * All calls return IF_INDEX_CODEC_OK (0) on success and a non-zero status on
 * failure; outputs are written only on success.  The library holds no state
 * and is safe to call from any thread.
 *
 * A platform's codec has ten calls: if_index_get_type(), the four accessors,
 * the four constructors and sprintf_if_index().  This one adds
 * if_index_init() and if_index_parse(); built with IF_INDEX_CODEC_TEN_CALLS
 * (CMake option of the same name), it leaves them out, header included, and
 * is then what a platform's codec offers.
 */
#ifndef IF_INDEX_CODEC_H
#define IF_INDEX_CODEC_H

#include <stdint.h>

#if defined(_WIN32)
#define IF_INDEX_CODEC_API
#else
#define IF_INDEX_CODEC_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses. */
enum {
    IF_INDEX_CODEC_OK = 0,
    IF_INDEX_CODEC_EINVAL = 1, /* value not classifiable / text not a name */
    IF_INDEX_CODEC_ETYPE = 2,  /* if_index of another type than the call's */
    IF_INDEX_CODEC_ERANGE = 3  /* number does not fit the type's payload */
};

/* Type codes of the named interface types. */
enum {
    IF_INDEX_TYPE_PHY_FC = 1,
    IF_INDEX_TYPE_PORT_CHANNEL = 4,
    IF_INDEX_TYPE_MGMT = 6,
    IF_INDEX_TYPE_ISCSI = 11,
    IF_INDEX_TYPE_FC_TUNNEL = 15
};

/* Longest text sprintf_if_index() writes, terminator
 * included ("port-channel65535"). */
#define IF_INDEX_NAME_MAX 18

/* Filled by if_index_get_type(): the type code is the first byte. */
typedef struct if_index_type_info {
    uint8_t type;        /* type code, 0-255 */
    uint8_t reserved[3]; /* written as 0 */
    uint32_t number;     /* the payload: bits 23..0 of the if_index */
    uint8_t pad[12];     /* written as 0 */
} if_index_type_info_t;  /* 20 bytes */

/* Classifies `if_index`: writes its type code (and payload) to `*info`.
 * Returns IF_INDEX_CODEC_EINVAL, writing nothing, for an unclassifiable value. */
IF_INDEX_CODEC_API uint32_t if_index_get_type(uint32_t if_index, if_index_type_info_t *info);

/* PHY_FC: slot and port are 8-bit, the port below 64 (IF_INDEX_CODEC_ERANGE,
 * nothing written, for a port of 64 or more); the third/fourth field is
 * reserved (0). */
IF_INDEX_CODEC_API uint32_t if_index_phy_fc_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port,
                                                       uint8_t *reserved);
IF_INDEX_CODEC_API uint32_t if_index_phy_fc_port_init(uint32_t *if_index, uint8_t slot, uint8_t port,
                                                      uint8_t reserved);

/* PORT_CHANNEL: 16-bit channel number. */
IF_INDEX_CODEC_API uint32_t if_index_port_channel_get_channel_num(uint32_t if_index, uint16_t *channel);
IF_INDEX_CODEC_API uint32_t if_index_port_channel_init(uint32_t *if_index, uint16_t channel);

/* ISCSI: slot and port are 8-bit, the port below 64 (IF_INDEX_CODEC_ERANGE,
 * nothing written, for a port of 64 or more). */
IF_INDEX_CODEC_API uint32_t if_index_iscsi_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port);
IF_INDEX_CODEC_API uint32_t if_index_iscsi_port_init(uint32_t *if_index, uint8_t slot, uint8_t port);

/* FC-TUNNEL: 16-bit tunnel number. */
IF_INDEX_CODEC_API uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t if_index, uint16_t *tunnel);
IF_INDEX_CODEC_API uint32_t if_index_fcmpls_tnnl_init(uint32_t *if_index, uint16_t tunnel);

#ifndef IF_INDEX_CODEC_TEN_CALLS
/* Any type: builds the if_index of `type` and `number`, where number is the
 * payload of the layout above read as one integer for "other" types and
 * type 6, the channel/tunnel number for 4/15, and slot*256+port for 1/11.
 * Fails with IF_INDEX_CODEC_ERANGE (writing nothing) when it does not fit or
 * would give an unclassifiable value (a port of 64 or more, a type-6 number
 * of 0, ...). */
IF_INDEX_CODEC_API uint32_t if_index_init(uint32_t *if_index, uint8_t type, uint32_t number);
#endif

/* Writes the name of `if_index` to `buf` (at least IF_INDEX_NAME_MAX bytes)
 * and returns its length; an unclassifiable value prints as "invalid". */
IF_INDEX_CODEC_API int sprintf_if_index(char *buf, uint32_t if_index);

#ifndef IF_INDEX_CODEC_TEN_CALLS
/* Parses a whole name as sprintf_if_index() prints it ("fc1/3",
 * "port-channel7", "type10:5", ...) into `*if_index`.  Leading zeros, signs,
 * blanks and trailing characters are rejected with IF_INDEX_CODEC_EINVAL,
 * numbers beyond a field's width, and ports past the 64th ("fc1/65"), with
 * IF_INDEX_CODEC_ERANGE. */
IF_INDEX_CODEC_API uint32_t if_index_parse(const char *name, uint32_t *if_index);
#endif

#ifdef __cplusplus
}
#endif

#endif /* IF_INDEX_CODEC_H */
