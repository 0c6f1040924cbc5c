#ifndef KVR_PROBE_H
#define KVR_PROBE_H

#define KVR_TDC_END_SEND 1
#define KVR_TDC_END_RECV 2

#define KVR_TDC_gen "Thu Jan  1 00:00:00 1970 0"
#define KVR_TDC_CH_up 8
#define KVR_TDC_CH_down 9
#define KVR_TDC_EVT_Order 10
#define KVR_TDC_EEVT_Order 17
#define KVR_TDC_DEFM_Order 18
#define KVR_TDC_EVT_Ping 25
#define KVR_TDC_EEVT_Ping 26
#define KVR_TDC_Spts 32
#define KVR_TDC_Sscn 33
#define KVR_TDC_SEND_Order_up 34
#define KVR_TDC_RECV_Order_down 36
#define KVR_TDC_RECV_Ping_up 39
#define KVR_TDC_Escn 42
#define KVR_TDC_Epts 43
#define KVR_TDC_LAST_SEND 34
#define KVR_TDC_LAST_ID 39
#define KVR_TDC_DEFM_Ping 0
#ifdef USE_KVS
#undef USE_KVS
#endif
#define USE_KVS 1
#include "TP.h"
#include "probecst.h"
#define korva_concat(a,b) a##b
#define korva_concat_3(a,b,c) a##b##c
#define korva_concat_4(a,b,c,d) a##b##c##d
#define korva_concat_6(a,b,c,d,e,f) a##b##c##d##e##f
#define kvr_start_trace(path,instance,p1) kvr_create_probe((path),(instance),(p1))
#define kvr_end_trace(ctx) kvr_end_probe(ctx)
#define kvr_send_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),korva_concat_6(KVR_TDC_SEND_,type,_,name,_,dist),0,(msg),sizeof(type))
#define kvr_recv_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),korva_concat_6(KVR_TDC_RECV_,type,_,name,_,dist),0,(msg),sizeof(type))
#define kvr_format_trace(...)
#define kvr_select_trace(ctx,code,value) kvr_write_key((ctx),(code),(value))
#define kvr_dump_trace() kvr_dump_all_inst()
extern KVR_CTX_PRB kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1);
extern void kvr_write_probe (KVR_CTX_PRB ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, KVR_T_INT lenmsg);
extern void kvr_dump_all_inst (void);
extern void kvr_dump_inst (KVR_CTX_PRB prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, KVR_PT_CAR instName, KVR_PT_CAR other);

#endif
