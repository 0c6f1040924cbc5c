
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

struct KVR_T_CTX
 {
  KVR_T_RUNCTX kvr_ctxrun;
 }
;
struct KVR_T_CTX tab_global_ctx[NB_INSTANCES];

static void kvr_decode (KVR_PT_CTX kvr_ctx, KVR_T_INT kvr_code, KVR_T_INT kvr_key, KVR_PT_VOID kvr_msg);
kvr_declar;
static void kvr_strt_probe (KVR_PT_CTX kvr_ctx, KVR_PT_CAR rioFilename, KVR_PT_CAR codeName);

KVR_PT_CTX kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1)
 {
  static KVR_T_INT kvr_nextctx = 0;
  KVR_PT_CTX kvr_ctx;
  char name[1024];
  if (kvr_nextctx >= NB_INSTANCES || strlen(path) + strlen(instance) + 5 > sizeof(name))
   {
    return ( (KVR_PT_CTX) 0 );
   }
  kvr_ctx = &tab_global_ctx[kvr_nextctx++];
  sprintf(name,"%s%s.rio",path,instance);
  kvr_strt_probe(kvr_ctx,name,instance);
  return ( kvr_ctx );
 }

void kvr_write_probe (KVR_PT_CTX ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, KVR_T_INT lenmsg)
 {
  kvr_decode(ctx,code,key,msg);
 }

static void kvr_strt_probe KVR_DP (( kvr_ctx, rioFilename,codeName)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_CAR rioFilename KVR_SP
KVR_PT_CAR codeName KVR_EP
 {
  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;
  kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe=0;
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

static void kvr_decode KVR_DP (( kvr_ctx, kvr_code,kvr_key,kvr_msg)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
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
    if (kvr_code <= KVR_TDC_LAST_SEND)
     {
      kvr_send(&(kvr_ctx->kvr_ctxrun),kvr_code,"");
     }
    else
     {
      kvr_waittil(&(kvr_ctx->kvr_ctxrun),kvr_code);
      switch(kvr_code)
       {
       }
     }
    switch(kvr_code)
     {
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

 int traced_runs;
