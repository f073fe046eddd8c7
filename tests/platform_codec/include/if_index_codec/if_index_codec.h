/* SPDX-License-Identifier: MIT */
/*
 * if_index_codec.h - a second interface-index codec, for tests only.
 *
 * Written the way another platform team would write its codec: the ten
 * calls and nothing else, its own encoding, its own names, its own type
 * record and its own failure statuses.  The vector library's suite, tools
 * and packages are built and run against it to show that they rely on the
 * ten calls alone.  Nothing installs or packages it.
 *
 * Encoding (bit 31 is the most significant bit):
 *
 *   bits 31..28  0xA, the codec's mark
 *   bits 27..20  type code
 *   bits 19..0   payload:
 *
 *   type  payload                  name
 *   ----  -----------------------  -------------------
 *      1  slot << 6 | port         FC<slot>.<port>
 *      4  channel (16 bits)        PCH<channel>
 *      6  number (1 to 0xFFFFF)    MGT<number>
 *     11  slot << 6 | port         ISC<slot>.<port>
 *     15  tunnel (16 bits)         TNL<tunnel>
 *   other number                   T<type>.<number>
 *
 * Slots and ports count from 0, a slot has 64 ports, and payload bits above
 * a type's fields must be 0.  Every call returns IFX_OK (0) on success and
 * writes its outputs only then.
 */
#ifndef PLATFORM_IF_INDEX_CODEC_H
#define PLATFORM_IF_INDEX_CODEC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define IFX_OK 0u
#define IFX_E_NOT_AN_IF_INDEX 0xE1000001u /* no mark, type 0, or stray payload bits */
#define IFX_E_WRONG_TYPE 0xE1000002u      /* an if_index of another type */
#define IFX_E_OUT_OF_RANGE 0xE1000003u    /* a field the encoding cannot hold */

/* Seventeen bytes; the type code comes first. */
typedef struct ifx_type_desc {
    uint8_t code;
    uint8_t unit[4];
    uint8_t spare[12];
} ifx_type_desc;

uint32_t if_index_get_type(uint32_t if_index, ifx_type_desc *desc);

uint32_t if_index_phy_fc_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port, uint8_t *speed);
uint32_t if_index_phy_fc_port_init(uint32_t *if_index, uint8_t slot, uint8_t port, uint8_t speed);
uint32_t if_index_port_channel_get_channel_num(uint32_t if_index, uint16_t *channel);
uint32_t if_index_port_channel_init(uint32_t *if_index, uint16_t channel);
uint32_t if_index_iscsi_get_fields(uint32_t if_index, uint8_t *slot, uint8_t *port);
uint32_t if_index_iscsi_port_init(uint32_t *if_index, uint8_t slot, uint8_t port);
uint32_t if_index_fcmpls_tnnl_get_tunnel(uint32_t if_index, uint16_t *tunnel);
uint32_t if_index_fcmpls_tnnl_init(uint32_t *if_index, uint16_t tunnel);

/* Writes the name, terminated, into buf (32 bytes are enough); returns
 * IFX_OK, or IFX_E_NOT_AN_IF_INDEX after writing "?". */
uint32_t sprintf_if_index(char *buf, uint32_t if_index);

#ifdef __cplusplus
}
#endif

#endif /* PLATFORM_IF_INDEX_CODEC_H */
