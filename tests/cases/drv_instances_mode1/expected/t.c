
/*
 * KORVA Kestrun 1.0.0, preprocessor C
 * file name: t.c
 * date: Thu Jan  1 00:00:00 1970
 */


#ifdef USE_KVS
#undef USE_KVS
#endif
#define USE_KVS 1
#include "TP.h"
#include "t.h"

#undef TIME
#define TIME(x) 0
 int x;
#define KVR_K_MAX_COMT 1
#define KVR_K_MAX_CHAN 1
#define KVR_K_MAX_MSGT 0
#define kvr_filter (kvr_ctx->kvr_ctxrun.kvr_ctxfilter)
#define KVR_NUMINSTANCE (kvr_ctx->kvr_ctxrun.kvr_ctxnuminstance)
#define kvr_numinstance (kvr_ctx->kvr_ctxrun.kvr_ctxnuminstance)
#define kvr_tagtsocket (kvr_ctx->kvr_ctxrun.kvr_ctxtagtsocket)
#define kvr_testernaming (kvr_ctx->kvr_ctxrun.kvr_ctxtesternaming)
#define kvr_tagttimeout (kvr_ctx->kvr_ctxrun.kvr_ctxtagttimeout)
#define kvr_tagtcommactivated (kvr_ctx->kvr_ctxrun.kvr_ctxtagtcommactivated)
#define KVR_OCCID (kvr_ctx->kvr_ctxrun.kvr_ctxoccid)
#define kvr_flagrt (kvr_ctx->kvr_ctxflagrt)
#define kvr_wtime (kvr_ctx->kvr_ctxrun.kvr_ctxwtime)
#define kvr_lwait (kvr_ctx->kvr_ctxrun.kvr_ctxlwait)
#define KVR_TIMEOUT (kvr_ctx->kvr_ctxrun.kvr_ctxtimeout)
#define kvr_rcvtime (kvr_ctx->kvr_ctxrun.kvr_ctxrcvtime)
#define kvr_logdate (kvr_ctx->kvr_ctxrun.kvr_ctxlogdate)
typedef struct
 {
  KVR_T_RUNCTX kvr_ctxrun;
  KVR_T_INT kvr_ctxflagrt;
 }
KVR_T_CTX, *KVR_PT_CTX ;
#undef TIME
#define TIME(X)  (kvr_time(&(kvr_ctx->timer[(X)].timer)))

static void kvr_initstates  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_i,kvr_j,kvr_k;
 }

static void kvr_initctx  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_i;
 }
static KVR_T_CTX kvr_ctxst;
static KVR_T_INT kvr_S9  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
#ifdef KVR_KESTRUN_DEBUG
  KVR_T_INT kvr_debug_state = 0;
#endif
  kvr_comment ( &(kvr_ctx->kvr_ctxrun),10 );
  kvr_brdv(&(kvr_ctx->kvr_ctxrun),11, "all_ready");
  if (kvr_rdv("all_ready"))
   {
#if KVS_DYNFLW
    kvr_rdv_reached_tsf ( &(kvr_ctx->kvr_ctxrun), 1, 7, 1);
#endif /* KVS_DYNFLW */
    
    kvr_ardv(&(kvr_ctx->kvr_ctxrun),11,1, "all_ready");
#ifdef KVR_KESTRUN_DEBUG
    kvr_debug_state = 1;
#else
    return ( 1 );
#endif
   }
  else
   {
#if KVS_DYNFLW
    kvr_rdv_reached_tsf ( &(kvr_ctx->kvr_ctxrun), 0, 7, 1);
#endif /* KVS_DYNFLW */
    
    kvr_ardv(&(kvr_ctx->kvr_ctxrun),11,0, "all_ready");
   }
#ifdef KVR_KESTRUN_DEBUG
  return ( kvr_debug_state );
#else
  return ( 0 );
#endif
 }
static KVR_T_INT kvr_S8 KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_local_state = 0;
  KVR_T_INT kvr_global_state = 0;
  J1 = 1;
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),12, 9 ,1, J1, "Meet", 5, 1);
  kvr_local_state = kvr_S9 (kvr_ctx);
  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),kvr_local_state,12,1,J1,"Meet",6,1);
  if ( kvr_local_state )
   {
    kvr_global_state = 2;
    if (( kvr_local_state == 3) || ( kvr_local_state == 4) )
     {
      return ( 4 );
     }
   }
  return ( kvr_global_state );
 }
KVR_T_INT main KVR_DP (( argc, argv )) KVR_BP
KVR_CONST KVR_T_INT argc KVR_SP
KVR_CONST KVR_PT_CAR * argv KVR_EP
 {
  KVR_PT_CTX kvr_ctx;
  KVR_PT_CAR rio_file_name = "t.rio";
  char argRioFileName[255];
  char lstflt[255];
#if KVS_DYNFLW
  char tstnaming[255];
#endif /* KVS_DYNFLW */
  
  KVR_T_INT kvr_local_state = 0;
  KVR_PT_CAR instance_name = (KVR_PT_CAR) 0;
  char fixed_instance[255] = "Bob";
  kvr_ctx = &kvr_ctxst;
  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;
  kvr_set_trace_functions ( &(kvr_ctx->kvr_ctxrun) );
  kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe = 0;
  kvr_numinstance = 2;
  kvr_testernaming[0] = '\0';
  instance_name = fixed_instance;
  KVR_OCCID = 0;
  if ( argc > 1 )
   {
    if ((kvr_strncmp(argv[1], "-OCCID=", 7) == 0) || (kvr_strncmp(argv[1], "-occid=", 7) == 0))
     {
      KVR_OCCID = atoi(&argv[1][7]);
     }
   }
  
  if ( argc > 2 )
   {
    if ((kvr_strncmp(argv[2], "-OCCID=", 7) == 0) || (kvr_strncmp(argv[2], "-occid=", 7) == 0))
     {
      KVR_OCCID = atoi(&argv[2][7]);
     }
   }
  
  if ( argc > 3 )
   {
    if ((kvr_strncmp(argv[3], "-OCCID=", 7) == 0) || (kvr_strncmp(argv[3], "-occid=", 7) == 0))
     {
      KVR_OCCID = atoi(&argv[3][7]);
     }
   }
  
  lstflt[0] = '\0';
  if ( argc > 1 )
   {
    if ((kvr_strncmp(argv[1], "-RIO=", 5) == 0) || (kvr_strncmp(argv[1], "-rio=", 5) == 0))
     {
      rio_file_name = &(argv[1][5]);
     }
    else
     {
      if (!(argv[1][0]=='-'))
       {
        KVS_STRCPY ( lstflt, argv[1] );
       }
     }
   }
  
  if ( argc > 2 )
   {
    if ((kvr_strncmp(argv[2], "-RIO=", 5) == 0) || (kvr_strncmp(argv[2], "-rio=", 5) == 0))
     {
      rio_file_name = &(argv[2][5]);
     }
    else
     {
      if (!(argv[2][0]=='-'))
       {
        KVS_STRCPY ( lstflt, argv[2] );
       }
     }
   }
  
  if ( argc > 3 )
   {
    if ((kvr_strncmp(argv[3], "-RIO=", 5) == 0) || (kvr_strncmp(argv[3], "-rio=", 5) == 0))
     {
      rio_file_name = &(argv[3][5]);
     }
    else
     {
      if (!(argv[3][0]=='-'))
       {
        KVS_STRCPY ( lstflt, argv[3] );
       }
     }
   }
  
  if ((rio_file_name[0] != '\0') && (kvr_strstr (rio_file_name, ".rio") == NULL))
   {
    KVS_STRCPY (argRioFileName, rio_file_name);
    KVS_STRCAT (argRioFileName, ".rio");
    rio_file_name = argRioFileName;
   }
  if (instance_name)
   {
    kvr_sprintf (kvr_testernaming, "%s_%d", instance_name, KVR_OCCID);
   }
  else
   {
    kvr_sprintf (kvr_testernaming, "%s_%d", rio_file_name, KVR_OCCID);
   }
  
#if KVS_DYNFLW
  kvr_initrio_with_dynamicfollowing ( &(kvr_ctx->kvr_ctxrun),rio_file_name, lstflt, 1, 0, instance_name, KVR_OCCID, "Thu Jan  1 00:00:00 1970 0",
#else
  kvr_initrio_no_dynamicfollowing ( &(kvr_ctx->kvr_ctxrun),rio_file_name, lstflt, 1, 0, instance_name, KVR_OCCID, "Thu Jan  1 00:00:00 1970 0",
#endif /* KVS_DYNFLW */
#ifdef KVR_KESTRUN_DEBUG
  "D");
#else
  "");
#endif
  kvr_initctx ( kvr_ctx );
  J0 = 1;
#if KVS_DYNFLW
   {
    kvr_sprintf (tstnaming, "\"%s\"", kvr_testernaming);
    if (priv_boot_tagtlk( &(kvr_tagtsocket), instance_name, tstnaming, &(kvr_tagttimeout), &(kvr_tagtcommactivated)) )
     {
      KVS_EXIT (1);
     }
    else
     {
      kvr_notify_tsf (&(kvr_ctx->kvr_ctxrun), 1, 2080, 27705);
      /* To_spv: 1 -> (218,27065) - t.zod -*/
     }
   }
  
  kvr_declare_ni_tsf (&(kvr_ctx->kvr_ctxrun), 1);
#endif /* KVS_DYNFLW */
  
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),13, 8 , 0, J0, "", 0, 0);
  kvr_local_state = kvr_S8 (kvr_ctx);
  kvr_stopchronomarkloop ( &(kvr_ctx->kvr_ctxrun),kvr_local_state, 13, 0, J0, "", 0, 0);
  kvr_end (&(kvr_ctx->kvr_ctxrun));
#if KVS_DYNFLW
  kvr_endoftester_tagtlk ( &(kvr_ctx->kvr_ctxrun) );
  priv_close_tagtlk ( &(kvr_tagtsocket) );
#endif /* KVS_DYNFLW */
  
  KVS_EXIT ((kvr_local_state != 0));
  return ( 0 );
 }
