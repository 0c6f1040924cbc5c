#ifndef KVR_PROBE_H
#define KVR_PROBE_H

#define KVR_TDC_END_SEND 1
#define KVR_TDC_END_RECV 2

#define KVR_TDC_gen "Thu Jan  1 00:00:00 1970 0"
#define KVR_TDC_CH_up 8
#define KVR_TDC_Spts 9
#undef KVR_TDC_Spts
#define KVR_TDC_Spts 10
#define KVR_TDC_Sscn 11
#define KVR_TDC_RDV_meet 12
#define KVR_TDC_Escn 13
#undef KVR_TDC_Sscn
#define KVR_TDC_Sscn 14
#undef KVR_TDC_Escn
#define KVR_TDC_Escn 15
#define KVR_TDC_Epts 16
#undef KVR_TDC_Epts
#define KVR_TDC_Epts 17
#define KVR_TDC_LAST_SEND 0
#define KVR_TDC_LAST_ID 0
#ifdef USE_KVS
#undef USE_KVS
#endif
#define USE_KVS 1
#include "TP.h"
typedef struct KVR_T_CTX *KVR_PT_CTX;
#define KVR_CTX_PRB KVR_PT_CTX
#include "kvrdeclar.h"
#define korva_concat(a,b) a##b
#define korva_concat_3(a,b,c) a##b##c
#define korva_concat_4(a,b,c,d) a##b##c##d
#define korva_concat_6(a,b,c,d,e,f) a##b##c##d##e##f
#define kvr_start_trace(path,instance,p1) kvr_create_probe((path),(instance),(p1))
#define kvr_end_trace(ctx) kvr_stop_probe(ctx)
#define kvr_send_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),korva_concat_6(KVR_TDC_SEND_,type,_,name,_,dist),0,(msg),sizeof(type))
#define kvr_recv_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),korva_concat_6(KVR_TDC_RECV_,type,_,name,_,dist),0,(msg),sizeof(type))
#define kvr_format_trace(...)
#define kvr_select_trace(ctx,code,value) kvr_set_selector((ctx),(code),(value))
#define kvr_dump_trace()
extern KVR_CTX_PRB kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1);
extern void kvr_write_probe (KVR_CTX_PRB ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, KVR_T_INT lenmsg);
extern void kvr_stop_probe (KVR_CTX_PRB kvr_ctx);
extern void kvr_set_selector (KVR_CTX_PRB kvr_ctx, KVR_T_INT code, KVR_T_UINT value);

#endif
