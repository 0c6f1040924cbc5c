/*
 * Reference declarations of the CUSTOM probe: the recorder that the
 * instrumented system calls through the probe header's trace macros, the
 * reader that replays a probe file through the generated decoder, and the
 * selector helpers. The generated files are checked against this header.
 * Plain C99.
 */
#ifndef KVR_PROBECST_H
#define KVR_PROBECST_H

#include "TP.h"

/* The decoder's context; its members are generated. */
struct KVR_T_CTX;

/* One probe file, being recorded or replayed. */
typedef struct kvr_s_probe *KVR_PT_PROBE;
#define KVR_CTX_PRB KVR_PT_PROBE

/* Recording: each record holds the date, the event code, the key and the
 * message bytes. */
KVR_PT_PROBE kvr_create_probe(KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1);
void kvr_write_probe(KVR_PT_PROBE ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, KVR_T_INT lenmsg);
void kvr_write_key(KVR_PT_PROBE ctx, KVR_T_INT code, KVR_T_UINT value);
void kvr_end_probe(KVR_PT_PROBE ctx);

/* Replay: kvr_read_probe returns 0 once no record is left. */
KVR_PT_PROBE kvr_open_probe(KVR_PT_PROBE prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, KVR_PT_CAR instName,
                            KVR_PT_CAR other);
KVR_T_INT kvr_read_probe(KVR_PT_PROBE prb_ctx, KVR_T_DATE *time, KVR_T_INT *code, KVR_T_INT *key, KVR_PT_VOID *msg);
void kvr_close_probe(KVR_PT_PROBE prb_ctx);
void kvr_dump_all_inst(void);

/* Union selectors of the decoder's context. */
void kvr_init_selector(struct KVR_T_CTX *kvr_ctx);
void kvr_set_selector(struct KVR_T_CTX *kvr_ctx, KVR_T_INT code, KVR_T_UINT value);

#endif
