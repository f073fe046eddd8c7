/* SPDX-License-Identifier: MIT */
/*
 * if_index_codec.h - a second interface-index codec, for tests only: the ten
 * platform calls and nothing else, written as another platform team would.
 * An if_index is 0xA (bits 31..28) | type code (27..20) | payload (19..0):
 * slot << 6 | port for types 1 and 11 (names FC<slot>.<port>, ISC<slot>.<port>,
 * counted from 0, 64 ports a slot), the channel or tunnel for 4 and 15
 * (PCH<n>, TNL<n>), a number from 1 for 6 (MGT<n>), any number for the
 * others (T<type>.<number>).  Payload bits above a type's fields must be 0.
 * Calls return IFX_OK (0) on success and write their outputs only then.
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
