/* SPDX-License-Identifier: MIT */
/* A second codec, for tests only: the ten platform calls.  if_index: 0xA << 28 | type << 20 |
 * payload (slot << 6 | port for types 1, 11; channel or tunnel for 4, 15; else a number).
 * Calls return IFX_OK (0) and write outputs only then. */
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

/* Writes the name into buf (32 bytes suffice); returns IFX_OK, or IFX_E_NOT_AN_IF_INDEX ("?"). */
uint32_t sprintf_if_index(char *buf, uint32_t if_index);

#ifdef __cplusplus
}
#endif

#endif /* PLATFORM_IF_INDEX_CODEC_H */
