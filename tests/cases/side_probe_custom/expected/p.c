
/*
 * KORVA Kestrun 1.0.0, preprocessor C
 * file name: p.c
 * date: Thu Jan  1 00:00:00 1970
 */


#ifdef USE_KVS
#undef USE_KVS
#endif
#define USE_KVS 1
#include "TP.h"
#include "t.h"

#include "p.h"

#include "probecst.h"
typedef struct KVR_T_CTX *KVR_PT_CTX;
#define kvr_set_time(kvr_ctx,time) kvr_memcpy(&(kvr_ctx->kvr_ctxrun.kvr_ctxusrdate),&time,sizeof(KVR_T_DATE))

struct KVR_T_CTX
 {
  KVR_T_RUNCTX kvr_ctxrun;
 }
;

static void kvr_decode (KVR_PT_CTX kvr_ctx, KVR_T_DATE kvr_time, KVR_T_INT kvr_code, KVR_T_INT kvr_key, KVR_PT_VOID kvr_msg);
static void kvr_strt_probe (KVR_PT_CTX kvr_ctx, KVR_PT_CAR rioFilename, KVR_PT_CAR codeName);
void kvr_Order_dump_msg (KVR_PT_CTX kvr_ctx, Order *kvr_msg_to_dump);
void kvr_Ping_dump_msg (KVR_PT_CTX kvr_ctx, Ping *kvr_msg_to_dump);

static void kvr_strt_probe KVR_DP (( kvr_ctx, rioFilename,codeName)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_CAR rioFilename KVR_SP
KVR_PT_CAR codeName KVR_EP
 {
  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;
  kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe=1;
  kvr_set_trace_functions ( &(kvr_ctx->kvr_ctxrun) );
  kvr_ctx->kvr_ctxrun.kvr_ctxoccid=0;
  kvr_ctx->kvr_ctxrun.kvr_ctxlogdate=0;
  kvr_initrio ( &(kvr_ctx->kvr_ctxrun),rioFilename ,0, 1, 0, codeName, 0,KVR_TDC_gen,"");
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),KVR_TDC_Epts, KVR_TDC_Spts , 0, 1,"",0,0);
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),KVR_TDC_Escn, KVR_TDC_Sscn ,1, 1,"",0,0);
 }

void kvr_stop_probe KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),0,KVR_TDC_Escn,1,1,"",0,0);
  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),0, KVR_TDC_Epts, 0, 1,"",0,0);
  kvr_end (&(kvr_ctx->kvr_ctxrun));
 }

static void kvr_decode KVR_DP (( kvr_ctx, kvr_time,kvr_code,kvr_key,kvr_msg)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_T_DATE kvr_time KVR_SP
KVR_T_INT kvr_code KVR_SP
KVR_T_INT kvr_key KVR_SP
KVR_PT_VOID kvr_msg KVR_EP
 {
  KVR_T_INT eevt,defmsg;
  eevt=0;
  defmsg=0;
  if (kvr_code > KVR_TDC_LAST_ID)
   {
    kvr_set_selector(kvr_ctx,kvr_code,*((KVR_PT_UINT) kvr_msg));
   }
  else
   {
    kvr_set_time(kvr_ctx,kvr_time);
    if (kvr_code <= KVR_TDC_LAST_SEND)
     {
      kvr_send(&(kvr_ctx->kvr_ctxrun),kvr_code,"");
     }
    else
     {
      kvr_waittil(&(kvr_ctx->kvr_ctxrun),kvr_code);
      switch(kvr_code)
       {
        case KVR_TDC_RECV_Order_down:
        kvr__evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Order,KVR_TDC_CH_down);
        eevt=KVR_TDC_EEVT_Order;
        defmsg=KVR_TDC_DEFM_Order;
        kvr_evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Order,KVR_TDC_CH_down,0," ");
        break;
        case KVR_TDC_RECV_Ping_up:
        kvr__evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Ping,KVR_TDC_CH_up);
        eevt=KVR_TDC_EEVT_Ping;
        defmsg=KVR_TDC_DEFM_Ping;
        kvr_evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Ping,KVR_TDC_CH_up,0," ");
        break;
       }
     }
    switch(kvr_code)
     {
      case KVR_TDC_SEND_Order_up:
      case KVR_TDC_RECV_Order_down:
      kvr_Order_dump_msg(kvr_ctx,kvr_msg);
      break;
      case KVR_TDC_RECV_Ping_up:
      kvr_Ping_dump_msg(kvr_ctx,kvr_msg);
      break;
     }
    if (kvr_code <= KVR_TDC_LAST_SEND)
     {
      kvr_end_send(&(kvr_ctx->kvr_ctxrun),0,kvr_code+KVR_TDC_END_SEND);
     }
    else
     {
      kvr_endevt(&(kvr_ctx->kvr_ctxrun),eevt);
      kvr_def_msg(&(kvr_ctx->kvr_ctxrun),defmsg);
      kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 0, kvr_code+KVR_TDC_END_RECV,"");
     }
   }
 }

void kvr_dump_inst (KVR_CTX_PRB prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, KVR_PT_CAR instName, KVR_PT_CAR other)
 {
  struct KVR_T_CTX kvr_ctx;
  KVR_T_DATE time;
  KVR_T_INT code,key;
  KVR_PT_VOID msg;
  prb_ctx=kvr_open_probe(prb_ctx,path,riofile,instName,other);
  kvr_init_selector(&kvr_ctx);
  if(kvr_read_probe(prb_ctx,&time,&code,&key,&msg))
   {
    kvr_set_time((&kvr_ctx),time);
    kvr_strt_probe(&kvr_ctx,riofile,instName);
    do
     {
      kvr_decode(&kvr_ctx,time,code,key,msg);
     }
    while(kvr_read_probe(prb_ctx,&time,&code,&key,&msg));
    kvr_stop_probe(&kvr_ctx);
   }
  kvr_close_probe(prb_ctx);
 }

