
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
#define KVR_K_MAX_COMT 1
#define KVR_K_MAX_CHAN 1
#define KVR_K_MAX_MSGT 1
#define KVR_K_MSG_Order 2
typedef struct kvr_s_T_MSG_Order
 {
  KVR_T_INT kvr_defNumber;
  Order kvr_MsgRef;
  Order kvr_MsgMin;
  Order kvr_MsgMax;
  KVR_T_INT kvr_state;
  KVR_T_INT kvr_stateok;
  KVR_T_INT kvr_stateko;
  KVR_T_INT kvr_state_channel[KVR_K_MAX_COMT][KVR_K_MAX_CHAN];
 }
KVR_T_Order, *KVR_PT_Order;
typedef KVR_T_Order KVR_T_MSG_Order[KVR_K_MSG_Order];
#define KVR_K_CHAN_Link 1
typedef struct kvr_s_T_CHAN_Link
 {
  conn_t kvr_connexionId[KVR_K_ID_SIZE];
  KVR_T_INT kvr_numberofId;
  KVR_T_INT kvr_msg[KVR_K_MAX_MSGT];
 }
KVR_T_CHAN_Link, *KVR_PT_CHAN_Link;
typedef KVR_T_CHAN_Link KVR_T_COMM_Link[KVR_K_CHAN_Link];
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
#define kvr_msg_Order (kvr_ctx->kvr_ctxOrder)
#define kvr_Order_rcv (kvr_ctx->kvr_ctxOrder_rcv)
#define kvr_Order_send (kvr_ctx->kvr_ctxOrder_send)
#define first kvr_msg_Order[0].kvr_MsgRef
#define kvr_Min_first kvr_msg_Order[0].kvr_MsgMin
#define kvr_Max_first kvr_msg_Order[0].kvr_MsgMax
#define second kvr_msg_Order[1].kvr_MsgRef
#define kvr_Min_second kvr_msg_Order[1].kvr_MsgMin
#define kvr_Max_second kvr_msg_Order[1].kvr_MsgMax
#define kvr_channel_Link (kvr_ctx->kvr_ctxLink)
#define line kvr_state_channel[0][0]
typedef struct
 {
  KVR_T_RUNCTX kvr_ctxrun;
  KVR_T_INT kvr_ctxflagrt;
  KVR_T_MSG_Order kvr_ctxOrder;
  Order kvr_ctxOrder_rcv;
  Order *kvr_ctxOrder_send;
  KVR_T_COMM_Link kvr_ctxLink;
 }
KVR_T_CTX, *KVR_PT_CTX ;
#undef TIME
#define TIME(X)  (kvr_time(&(kvr_ctx->timer[(X)].timer)))

static void kvr_initstates  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_i,kvr_j,kvr_k;
  for (kvr_i=0; kvr_i<KVR_K_MSG_Order; kvr_i++)
   {
    kvr_msg_Order[kvr_i].kvr_state=KVR_NOEVT;
    kvr_msg_Order[kvr_i].kvr_stateok=0;
    kvr_msg_Order[kvr_i].kvr_stateko=0;
    for (kvr_j=0; kvr_j<KVR_K_MAX_COMT; kvr_j++)
     {
      for (kvr_k=0; kvr_k<KVR_K_MAX_CHAN; kvr_k++)
       {
        kvr_msg_Order[kvr_i].kvr_state_channel[kvr_j][kvr_k]=KVR_NOEVT;
       }
     }
   }
 }

static void kvr_initctx  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_i;
  for (kvr_i=0;kvr_i<KVR_K_MSG_Order;kvr_i++)
   {
    kvr_msg_Order[kvr_i].kvr_defNumber=0;
   }
  for (kvr_i=0;kvr_i<KVR_K_CHAN_Link;kvr_i++)
   {
    kvr_channel_Link[kvr_i].kvr_numberofId = 0;
   }
 }
static KVR_T_CTX kvr_ctxst;
static void kvr_Order_ref_msg KVR_DP (( kvr_ctx, kvr_msg_ref)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_Order kvr_msg_ref KVR_EP
 {
#define kvr_msgrcv (kvr_msg_ref->kvr_MsgRef)
#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)
#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)
  switch(kvr_msg_ref->kvr_defNumber)
   {
   }
#undef kvr_msgrcv
#undef kvr_msgMin
#undef kvr_msgMax
 }
static KVR_T_INT kvr_Order_cmp_msg KVR_DP (( kvr_ctx, kvr_msg_ref,msg_rcv)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_Order kvr_msg_ref KVR_SP
Order * msg_rcv KVR_EP
 {
  KVR_T_INT kvr_ret;
#define kvr_msgrcv (*msg_rcv)
#define kvr_msgref (kvr_msg_ref->kvr_MsgRef)
#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)
#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)
  kvr_cmp(&(kvr_ctx->kvr_ctxrun));
  switch(kvr_msg_ref->kvr_defNumber)
   {
   }
  kvr_ret=kvr_cmp(&(kvr_ctx->kvr_ctxrun));
  kvr_msg_ref->kvr_state = kvr_ret?KVR_EVTOK:KVR_EVTKO;
  if (kvr_msg_ref->kvr_state == KVR_EVTOK)
   {
    kvr_msg_ref->kvr_stateok = 1;
    kvr_memcpy(&(kvr_msg_ref->kvr_MsgRef),msg_rcv,sizeof(Order));
   }
  else kvr_msg_ref->kvr_stateko = 1;
  return(kvr_ret);
#undef kvr_msgrcv
#undef kvr_msgref
#undef kvr_msgMin
#undef kvr_msgMax
 }
static void kvr_Order_dump_msg KVR_DP (( kvr_ctx, kvr_msg_to_dump)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
Order * kvr_msg_to_dump KVR_EP
 {
#define kvr_msgrcv (*kvr_msg_to_dump)
  kvr_var ( &(kvr_ctx->kvr_ctxrun),9 );
  kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),10 );
  kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),11, (KVR_T_INT) kvr_msgrcv.code,KVR_P_BASE10, I0, -1 );
  kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),12, (KVR_T_INT) kvr_msgrcv.qty,KVR_P_BASE10, I0, -1 );
  kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),13 );
  kvr_var ( &(kvr_ctx->kvr_ctxrun),14 );
#undef kvr_msgrcv
 }

/* procsend Order_ON_Link_for_procsend */
static KVR_T_INT kvr_Order_ON_Link_for_procsend  KVR_DP (( kvr_ctx, kvr_RegId,kvr_index)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_T_INT kvr_RegId KVR_SP
KVR_T_INT kvr_index KVR_EP
 {
  Order m;
  conn_t id;
  
#ifdef KVR_KESTRUN_DEBUG
  KVR_T_INT kvr_debug_state = 0;
#endif
  kvr_memcpy (&m,(kvr_Order_send),sizeof(*(kvr_Order_send)));
  kvr_memcpy (&id,&(kvr_channel_Link[kvr_RegId].kvr_connexionId[kvr_index]), sizeof((kvr_channel_Link[kvr_RegId].kvr_connexionId[kvr_index])));
  kvr_comment ( &(kvr_ctx->kvr_ctxrun),19 );
#ifdef KVR_KESTRUN_DEBUG
  return (kvr_debug_state ? 1 : KVR_MESSAGE_SENT);
#else
  return ( KVR_MESSAGE_SENT );
#endif
 }
static KVR_T_INT kvr_S21  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
#ifdef KVR_KESTRUN_DEBUG
  KVR_T_INT kvr_debug_state = 0;
#endif
  kvr_Order_send = &first;
#if KVS_DYNFLW
  kvr_send_tsf ( &(kvr_ctx->kvr_ctxrun), 5, 1);
#endif /* KVS_DYNFLW */
  
  kvr_send( &(kvr_ctx->kvr_ctxrun),22, "first");
   {
    KVR_T_INT kvr_i,kvr_psret=0;
    kvr_rio_on(&(kvr_ctx->kvr_ctxrun));
    for (kvr_i=0;kvr_i<kvr_channel_Link[0].kvr_numberofId;kvr_i++)
     {
      kvr_rio_off(&(kvr_ctx->kvr_ctxrun));
      kvr_psret = kvr_Order_ON_Link_for_procsend (kvr_ctx,0,kvr_i);
      kvr_rio_on(&(kvr_ctx->kvr_ctxrun));
      if (kvr_psret==1)
       {
#ifdef KVR_KESTRUN_DEBUG
        kvr_debug_state=1;
#endif
        break;
       }
     }
    kvr_Order_dump_msg (kvr_ctx, &first);
    kvr_end_send( &(kvr_ctx->kvr_ctxrun),kvr_psret,23);
#ifdef KVR_KESTRUN_DEBUG
#else
    if (kvr_psret)
    return ( 1 );
#endif
   }
#ifdef KVR_KESTRUN_DEBUG
  return ( kvr_debug_state );
#else
  return ( 0 );
#endif
 }
static KVR_T_INT kvr_S20 KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_local_state = 0;
  KVR_T_INT kvr_global_state = 0;
  J1 = 1;
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),24, 21 ,1, J1, "Exchange", 3, 1);
  kvr_local_state = kvr_S21 (kvr_ctx);
  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),kvr_local_state,24,1,J1,"Exchange",4,1);
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
  kvr_ctx = &kvr_ctxst;
  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;
  kvr_set_trace_functions ( &(kvr_ctx->kvr_ctxrun) );
  kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe = 0;
  kvr_numinstance = 1;
  kvr_testernaming[0] = '\0';
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
      kvr_notify_tsf (&(kvr_ctx->kvr_ctxrun), 1, 2205, 18276);
      /* To_spv: 1 -> (349,17636) - t.zod -*/
     }
   }
  
  kvr_declare_ni_tsf (&(kvr_ctx->kvr_ctxrun), 1);
#endif /* KVS_DYNFLW */
  
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),25, 20 , 0, J0, "", 0, 0);
  kvr_local_state = kvr_S20 (kvr_ctx);
  kvr_stopchronomarkloop ( &(kvr_ctx->kvr_ctxrun),kvr_local_state, 25, 0, J0, "", 0, 0);
  kvr_end (&(kvr_ctx->kvr_ctxrun));
#if KVS_DYNFLW
  kvr_endoftester_tagtlk ( &(kvr_ctx->kvr_ctxrun) );
  priv_close_tagtlk ( &(kvr_tagtsocket) );
#endif /* KVS_DYNFLW */
  
  KVS_EXIT ((kvr_local_state != 0));
  return ( 0 );
 }
