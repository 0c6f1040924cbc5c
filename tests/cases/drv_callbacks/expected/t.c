
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
#define KVR_K_MAX_COMT 2
#define KVR_K_MAX_CHAN 1
#define KVR_K_MAX_MSGT 2
#define KVR_K_CHAN_Sock 1
typedef struct kvr_s_T_CHAN_Sock
 {
  conn_t kvr_connexionId[KVR_K_ID_SIZE];
  KVR_T_INT kvr_numberofId;
  KVR_T_INT kvr_msg[KVR_K_MAX_MSGT];
 }
KVR_T_CHAN_Sock, *KVR_PT_CHAN_Sock;
typedef KVR_T_CHAN_Sock KVR_T_COMM_Sock[KVR_K_CHAN_Sock];
#define KVR_K_CHAN_Line 1
typedef struct kvr_s_T_CHAN_Line
 {
  conn_t kvr_connexionId[KVR_K_ID_SIZE];
  KVR_T_INT kvr_numberofId;
  KVR_T_INT kvr_msg[KVR_K_MAX_MSGT];
 }
KVR_T_CHAN_Line, *KVR_PT_CHAN_Line;
typedef KVR_T_CHAN_Line KVR_T_COMM_Line[KVR_K_CHAN_Line];
#define KVR_K_MSG_Ping 1
typedef struct kvr_s_T_MSG_Ping
 {
  KVR_T_INT kvr_defNumber;
  Ping kvr_MsgRef;
  Ping kvr_MsgMin;
  Ping kvr_MsgMax;
  KVR_T_INT kvr_state;
  KVR_T_INT kvr_stateok;
  KVR_T_INT kvr_stateko;
  KVR_T_INT kvr_state_channel[KVR_K_MAX_COMT][KVR_K_MAX_CHAN];
 }
KVR_T_Ping, *KVR_PT_Ping;
typedef KVR_T_Ping KVR_T_MSG_Ping[KVR_K_MSG_Ping];
#define KVR_K_MSG_Note 1
typedef struct kvr_s_T_MSG_Note
 {
  KVR_T_INT kvr_defNumber;
  Note kvr_MsgRef;
  Note kvr_MsgMin;
  Note kvr_MsgMax;
  KVR_T_INT kvr_state;
  KVR_T_INT kvr_stateok;
  KVR_T_INT kvr_stateko;
  KVR_T_INT kvr_state_channel[KVR_K_MAX_COMT][KVR_K_MAX_CHAN];
 }
KVR_T_Note, *KVR_PT_Note;
typedef KVR_T_Note KVR_T_MSG_Note[KVR_K_MSG_Note];
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
#define kvr_channel_Sock (kvr_ctx->kvr_ctxSock)
#define kvr_channel_Line (kvr_ctx->kvr_ctxLine)
#define s1 kvr_state_channel[0][0]
#define l1 kvr_state_channel[1][0]
#define kvr_msg_Ping (kvr_ctx->kvr_ctxPing)
#define kvr_Ping_rcv (kvr_ctx->kvr_ctxPing_rcv)
#define kvr_Ping_send (kvr_ctx->kvr_ctxPing_send)
#define p1 kvr_msg_Ping[0].kvr_MsgRef
#define kvr_Min_p1 kvr_msg_Ping[0].kvr_MsgMin
#define kvr_Max_p1 kvr_msg_Ping[0].kvr_MsgMax
#define kvr_msg_Note (kvr_ctx->kvr_ctxNote)
#define kvr_Note_rcv (kvr_ctx->kvr_ctxNote_rcv)
#define kvr_Note_send (kvr_ctx->kvr_ctxNote_send)
#define n1 kvr_msg_Note[0].kvr_MsgRef
#define kvr_Min_n1 kvr_msg_Note[0].kvr_MsgMin
#define kvr_Max_n1 kvr_msg_Note[0].kvr_MsgMax
typedef struct
 {
  KVR_T_RUNCTX kvr_ctxrun;
  KVR_T_INT kvr_ctxflagrt;
  KVR_T_COMM_Sock kvr_ctxSock;
  KVR_T_COMM_Line kvr_ctxLine;
  KVR_T_MSG_Ping kvr_ctxPing;
  Ping kvr_ctxPing_rcv;
  Ping *kvr_ctxPing_send;
  KVR_T_MSG_Note kvr_ctxNote;
  Note kvr_ctxNote_rcv;
  Note *kvr_ctxNote_send;
 }
KVR_T_CTX, *KVR_PT_CTX ;
#undef TIME
#define TIME(X)  (kvr_time(&(kvr_ctx->timer[(X)].timer)))

static void kvr_initstates  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_i,kvr_j,kvr_k;
  for (kvr_i=0; kvr_i<KVR_K_MSG_Ping; kvr_i++)
   {
    kvr_msg_Ping[kvr_i].kvr_state=KVR_NOEVT;
    kvr_msg_Ping[kvr_i].kvr_stateok=0;
    kvr_msg_Ping[kvr_i].kvr_stateko=0;
    for (kvr_j=0; kvr_j<KVR_K_MAX_COMT; kvr_j++)
     {
      for (kvr_k=0; kvr_k<KVR_K_MAX_CHAN; kvr_k++)
       {
        kvr_msg_Ping[kvr_i].kvr_state_channel[kvr_j][kvr_k]=KVR_NOEVT;
       }
     }
   }
  for (kvr_i=0; kvr_i<KVR_K_MSG_Note; kvr_i++)
   {
    kvr_msg_Note[kvr_i].kvr_state=KVR_NOEVT;
    kvr_msg_Note[kvr_i].kvr_stateok=0;
    kvr_msg_Note[kvr_i].kvr_stateko=0;
    for (kvr_j=0; kvr_j<KVR_K_MAX_COMT; kvr_j++)
     {
      for (kvr_k=0; kvr_k<KVR_K_MAX_CHAN; kvr_k++)
       {
        kvr_msg_Note[kvr_i].kvr_state_channel[kvr_j][kvr_k]=KVR_NOEVT;
       }
     }
   }
 }

static void kvr_initctx  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_i;
  for (kvr_i=0;kvr_i<KVR_K_CHAN_Sock;kvr_i++)
   {
    kvr_channel_Sock[kvr_i].kvr_numberofId = 0;
   }
  for (kvr_i=0;kvr_i<KVR_K_CHAN_Line;kvr_i++)
   {
    kvr_channel_Line[kvr_i].kvr_numberofId = 0;
   }
  for (kvr_i=0;kvr_i<KVR_K_MSG_Ping;kvr_i++)
   {
    kvr_msg_Ping[kvr_i].kvr_defNumber=0;
   }
  for (kvr_i=0;kvr_i<KVR_K_MSG_Note;kvr_i++)
   {
    kvr_msg_Note[kvr_i].kvr_defNumber=0;
   }
 }
static KVR_T_CTX kvr_ctxst;
static void kvr_Ping_ref_msg KVR_DP (( kvr_ctx, kvr_msg_ref)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_Ping kvr_msg_ref KVR_EP
 {
#define kvr_msgrcv (kvr_msg_ref->kvr_MsgRef)
#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)
#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)
  switch(kvr_msg_ref->kvr_defNumber)
   {
    case 1:
     {
      kvr_def_msg(&(kvr_ctx->kvr_ctxrun),18);
      kvr_var ( &(kvr_ctx->kvr_ctxrun),19 );
      kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),20 );
      kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),21, (KVR_T_INT) kvr_msgrcv.a,KVR_P_BASE10, I0, -1 );
      kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),22, (KVR_T_INT) kvr_msgrcv.b,KVR_P_BASE10, I0, -1 );
      kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),23 );
      kvr_var ( &(kvr_ctx->kvr_ctxrun),24 );
      break;
     }
   }
#undef kvr_msgrcv
#undef kvr_msgMin
#undef kvr_msgMax
 }
static KVR_T_INT kvr_Ping_cmp_msg KVR_DP (( kvr_ctx, kvr_msg_ref,msg_rcv)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_Ping kvr_msg_ref KVR_SP
Ping * msg_rcv KVR_EP
 {
  KVR_T_INT kvr_ret;
#define kvr_msgrcv (*msg_rcv)
#define kvr_msgref (kvr_msg_ref->kvr_MsgRef)
#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)
#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)
  kvr_cmp(&(kvr_ctx->kvr_ctxrun));
  switch(kvr_msg_ref->kvr_defNumber)
   {
    case 1:
     {
      kvr_cmp_int_c (&(kvr_ctx->kvr_ctxrun),21, (KVR_T_INT) kvr_msgrcv.a,(KVR_T_INT) kvr_msgref.a, I0, -1 );
      kvr_cmp_int_c (&(kvr_ctx->kvr_ctxrun),22, (KVR_T_INT) kvr_msgrcv.b,(KVR_T_INT) kvr_msgref.b, I0, -1 );
      break;
     }
   }
  kvr_ret=kvr_cmp(&(kvr_ctx->kvr_ctxrun));
  kvr_msg_ref->kvr_state = kvr_ret?KVR_EVTOK:KVR_EVTKO;
  if (kvr_msg_ref->kvr_state == KVR_EVTOK)
   {
    kvr_msg_ref->kvr_stateok = 1;
    kvr_memcpy(&(kvr_msg_ref->kvr_MsgRef),msg_rcv,sizeof(Ping));
   }
  else kvr_msg_ref->kvr_stateko = 1;
  return(kvr_ret);
#undef kvr_msgrcv
#undef kvr_msgref
#undef kvr_msgMin
#undef kvr_msgMax
 }
static void kvr_Ping_dump_msg KVR_DP (( kvr_ctx, kvr_msg_to_dump)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
Ping * kvr_msg_to_dump KVR_EP
 {
#define kvr_msgrcv (*kvr_msg_to_dump)
  kvr_var ( &(kvr_ctx->kvr_ctxrun),11 );
  kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),12 );
  kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),13, (KVR_T_INT) kvr_msgrcv.a,KVR_P_BASE10, I0, -1 );
  kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),14, (KVR_T_INT) kvr_msgrcv.b,KVR_P_BASE10, I0, -1 );
  kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),15 );
  kvr_var ( &(kvr_ctx->kvr_ctxrun),16 );
#undef kvr_msgrcv
 }
static void kvr_Note_ref_msg KVR_DP (( kvr_ctx, kvr_msg_ref)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_Note kvr_msg_ref KVR_EP
 {
#define kvr_msgrcv (kvr_msg_ref->kvr_MsgRef)
#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)
#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)
  switch(kvr_msg_ref->kvr_defNumber)
   {
    case 2:
     {
      kvr_def_msg(&(kvr_ctx->kvr_ctxrun),32);
      kvr_var ( &(kvr_ctx->kvr_ctxrun),33 );
      kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),34 );
      kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),35, (KVR_T_INT) kvr_msgrcv.code,KVR_P_BASE10, I0, -1 );
      kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),36 );
      kvr_var ( &(kvr_ctx->kvr_ctxrun),37 );
      break;
     }
   }
#undef kvr_msgrcv
#undef kvr_msgMin
#undef kvr_msgMax
 }
static KVR_T_INT kvr_Note_cmp_msg KVR_DP (( kvr_ctx, kvr_msg_ref,msg_rcv)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_PT_Note kvr_msg_ref KVR_SP
Note * msg_rcv KVR_EP
 {
  KVR_T_INT kvr_ret;
#define kvr_msgrcv (*msg_rcv)
#define kvr_msgref (kvr_msg_ref->kvr_MsgRef)
#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)
#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)
  kvr_cmp(&(kvr_ctx->kvr_ctxrun));
  switch(kvr_msg_ref->kvr_defNumber)
   {
    case 2:
     {
      kvr_cmp_int_c (&(kvr_ctx->kvr_ctxrun),35, (KVR_T_INT) kvr_msgrcv.code,(KVR_T_INT) kvr_msgref.code, I0, -1 );
      break;
     }
   }
  kvr_ret=kvr_cmp(&(kvr_ctx->kvr_ctxrun));
  kvr_msg_ref->kvr_state = kvr_ret?KVR_EVTOK:KVR_EVTKO;
  if (kvr_msg_ref->kvr_state == KVR_EVTOK)
   {
    kvr_msg_ref->kvr_stateok = 1;
    kvr_memcpy(&(kvr_msg_ref->kvr_MsgRef),msg_rcv,sizeof(Note));
   }
  else kvr_msg_ref->kvr_stateko = 1;
  return(kvr_ret);
#undef kvr_msgrcv
#undef kvr_msgref
#undef kvr_msgMin
#undef kvr_msgMax
 }
static void kvr_Note_dump_msg KVR_DP (( kvr_ctx, kvr_msg_to_dump)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
Note * kvr_msg_to_dump KVR_EP
 {
#define kvr_msgrcv (*kvr_msg_to_dump)
  kvr_var ( &(kvr_ctx->kvr_ctxrun),26 );
  kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),27 );
  kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),28, (KVR_T_INT) kvr_msgrcv.code,KVR_P_BASE10, I0, -1 );
  kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),29 );
  kvr_var ( &(kvr_ctx->kvr_ctxrun),30 );
#undef kvr_msgrcv
 }
static KVR_T_INT kvr_WAIT_1 KVR_DP (( kvr_ctx, kvr_exprOK,kvr_exprKO,kvr_wtime_0)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_T_INT * kvr_exprOK KVR_SP
KVR_T_INT * kvr_exprKO KVR_SP
KVR_T_UTIME kvr_wtime_0 KVR_EP
 {
  KVR_T_INT kvr_ret=0;
  do
   {
    if ((*kvr_exprKO = (WTIME > 60)))
     {
      kvr_ret=1;
     }
    if ((*kvr_exprOK = (KVR_MATCHED_2(kvr_msg_Note[0],kvr_state_channel[1][0]))))
     {
      kvr_ret=1;
     }
    if (kvr_wtime <= kvr_wtime_0)
     {
      kvr_wtime++;
     }
   }
  while ((kvr_wtime<=kvr_wtime_0)&&(!kvr_ret));
  kvr_wtime = kvr_wtime_0;
  return kvr_ret;
 }
static KVR_T_INT kvr_WAIT_0 KVR_DP (( kvr_ctx, kvr_exprOK,kvr_exprKO,kvr_wtime_0)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_T_INT * kvr_exprOK KVR_SP
KVR_T_INT * kvr_exprKO KVR_SP
KVR_T_UTIME kvr_wtime_0 KVR_EP
 {
  KVR_T_INT kvr_ret=0;
  do
   {
    if ((*kvr_exprKO = (WTIME > 50)))
     {
      kvr_ret=1;
     }
    if ((*kvr_exprOK = (KVR_MATCHED_2(kvr_msg_Ping[0],kvr_state_channel[0][0]))))
     {
      kvr_ret=1;
     }
    if (kvr_wtime <= kvr_wtime_0)
     {
      kvr_wtime++;
     }
   }
  while ((kvr_wtime<=kvr_wtime_0)&&(!kvr_ret));
  kvr_wtime = kvr_wtime_0;
  return kvr_ret;
 }

/* callback Ping_ON_Sock */
static KVR_T_INT kvr_Ping_ON_Sock  KVR_DP (( kvr_ctx, kvr_RegId,kvr_index)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_T_INT kvr_RegId KVR_SP
KVR_T_INT kvr_index KVR_EP
 {
  Ping m;
  KVR_T_INT count;
  conn_t ids[KVR_K_ID_SIZE];
  
#ifdef KVR_KESTRUN_DEBUG
  KVR_T_INT kvr_debug_state = 0;
#endif
  kvr_memcpy (&m,&(kvr_Ping_rcv),sizeof((kvr_Ping_rcv)));
  count = (kvr_channel_Sock[kvr_RegId].kvr_numberofId);
  kvr_memcpy(ids,(kvr_channel_Sock[kvr_RegId].kvr_connexionId), sizeof((kvr_channel_Sock[kvr_RegId].kvr_connexionId)));
  if ( count > 1 )
   {
    kvr_nomsg ( &(kvr_ctx->kvr_ctxrun),38 );
    return ( KVR_NO_MESSAGE );
   }
  kvr_msgdate ( &(kvr_ctx->kvr_ctxrun),39 );
  kvr_memcpy (&(kvr_Ping_rcv),&m,sizeof((kvr_Ping_rcv)));
#ifdef KVR_KESTRUN_DEBUG
  return (kvr_debug_state ? 1 : KVR_MESSAGE_READ);
#else
  return ( KVR_MESSAGE_READ );
#endif
 }

/* callback Note_ON_Line */
static KVR_T_INT kvr_Note_ON_Line  KVR_DP (( kvr_ctx, kvr_RegId,kvr_index)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_SP
KVR_T_INT kvr_RegId KVR_SP
KVR_T_INT kvr_index KVR_EP
 {
  Note m;
  conn_t id;
  
#ifdef KVR_KESTRUN_DEBUG
  KVR_T_INT kvr_debug_state = 0;
#endif
  kvr_memcpy (&m,&(kvr_Note_rcv),sizeof((kvr_Note_rcv)));
  kvr_memcpy (&id,&(kvr_channel_Line[kvr_RegId].kvr_connexionId[kvr_index]), sizeof((kvr_channel_Line[kvr_RegId].kvr_connexionId[kvr_index])));
  if ( id < 0 )
   {
    kvr_nomsg ( &(kvr_ctx->kvr_ctxrun),40 );
    return ( KVR_NO_MESSAGE );
   }
  kvr_msgdate ( &(kvr_ctx->kvr_ctxrun),41 );
  kvr_memcpy (&(kvr_Note_rcv),&m,sizeof((kvr_Note_rcv)));
#ifdef KVR_KESTRUN_DEBUG
  return (kvr_debug_state ? 1 : KVR_MESSAGE_READ);
#else
  return ( KVR_MESSAGE_READ );
#endif
 }
static KVR_T_INT kvr_S43  KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
#ifdef KVR_KESTRUN_DEBUG
  KVR_T_INT kvr_debug_state = 0;
#endif
  kvr_msg_Ping[0].kvr_defNumber = 1;
  p1.a = (KVR_T_INT) 1;
  p1.b = (KVR_T_INT) 2;
  kvr_msg_Note[0].kvr_defNumber = 2;
  n1.code = (KVR_T_INT) 4;
   {
    KVR_T_INT kvr_end_waittil_debug=0;
#ifdef KVR_KESTRUN_DEBUG
    KVR_T_INT kvr_continue_debug=0;
#endif
    if (0
    ||(!kvr_msg_Ping[0].kvr_defNumber)
    )
     {
      kvr_nodefmsg(&(kvr_ctx->kvr_ctxrun), 44);
#ifdef KVR_KESTRUN_DEBUG
      kvr_continue_debug = 1;
#else
      return ( 1 );
#endif
     }
    else if (!(0
    ||(kvr_channel_Sock[0].kvr_numberofId)
    ))
     {
      kvr_noaddid(&(kvr_ctx->kvr_ctxrun), 44);
#ifdef KVR_KESTRUN_DEBUG
      kvr_continue_debug = 1;
#else
      return ( 1 );
#endif
     }
    else
     {
      KVR_T_INT kvr_i, kvr_ret, kvr_cbret, kvr_rcv;
      KVR_T_INT kvr_exprOK=0, kvr_exprKO=0;
      KVR_T_UTIME kvr_wtime_0, kvr_t0, kvr_tn, kvr_tn1, kvr_tnow;
      kvr_initstates (kvr_ctx);
#if KVS_DYNFLW
      kvr_begin_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 5, 1);
#endif /* KVS_DYNFLW */
      kvr_waittil (&(kvr_ctx->kvr_ctxrun), 44);
      kvr_wtime = 0;
      kvr_t0 = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
      kvr_tn = kvr_t0 ;
      kvr_tn1=kvr_tn+kvr_gran;
      for (;
#ifdef KVR_KESTRUN_DEBUG
      !kvr_continue_debug &&
#endif
      !kvr_end_waittil_debug;)
       {
        kvr_rcv = 0;
        kvr_tnow = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
        while (kvr_tnow >= kvr_tn1)
         {
          kvr_tn = kvr_tn1 ;
          kvr_tn1=kvr_tn+kvr_gran;
         }
        KVR_TIMEOUT = ( (((kvr_tnow - kvr_t0)/KVR_WTIME_TO_TIME) < 50) ? (50 - (kvr_tnow - kvr_t0)/KVR_WTIME_TO_TIME) : 0);
        /* CommType Sock */
        /* Channel s1 */
        /* Type message Ping */
        for (kvr_i=0;
#ifdef KVR_KESTRUN_DEBUG
        !kvr_continue_debug&&
#endif
        !kvr_end_waittil_debug && kvr_i<kvr_channel_Sock[0].kvr_numberofId;kvr_i++)
         {
          kvr_ret = 0;
          kvr_rio_off(&(kvr_ctx->kvr_ctxrun));
          kvr_cbret=kvr_Ping_ON_Sock(kvr_ctx,0,kvr_i);
          kvr_rio_on(&(kvr_ctx->kvr_ctxrun));
          if (kvr_cbret== 1)
           {
#if KVS_DYNFLW
            kvr_end_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 7, 1, 2);
#endif /* KVS_DYNFLW */
            kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 2, 46, "Ping");
#ifdef KVR_KESTRUN_DEBUG
            kvr_continue_debug = 1;
            break;
#else
            return ( 1 );
#endif
           }
          if (kvr_cbret==KVR_MESSAGE_READ)
           {
            kvr_rcv |= 1;
            kvr_evt (&(kvr_ctx->kvr_ctxrun),10,8,0," ");
#if KVS_DYNFLW
            kvr_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), "Ping", 6, 1);
#endif /* KVS_DYNFLW */
            kvr_Ping_dump_msg (kvr_ctx, &(kvr_Ping_rcv));
            kvr_endevt (&(kvr_ctx->kvr_ctxrun),17);
            if (kvr_Ping_cmp_msg(kvr_ctx, &(kvr_msg_Ping[0]),&(kvr_Ping_rcv)))
             {
              kvr_def_msg(&(kvr_ctx->kvr_ctxrun),11);
              kvr_ret=1;
              kvr_msg_Ping[0].kvr_state_channel[0][0]|=KVR_EVTOK;
             }
            else
             {
              kvr_msg_Ping[0].kvr_state_channel[0][0]|=KVR_EVTKO;
             }
           }
          if (kvr_ret)
           {
            kvr_wtime_0 = kvr_logdate / kvr_gran;
           }
          else
           {
            kvr_wtime_0 = kvr_getwtime(&(kvr_ctx->kvr_ctxrun));
           }
          if (kvr_WAIT_0(kvr_ctx, &kvr_exprOK, &kvr_exprKO, kvr_wtime_0))
           {
            kvr_end_waittil_debug = 1;
            break;
           }
         }
        if (!kvr_end_waittil_debug
#ifdef KVR_KESTRUN_DEBUG
        && !kvr_continue_debug
#endif
        )
         {
          kvr_wtime_0 = kvr_getwtime(&(kvr_ctx->kvr_ctxrun));
          if (kvr_WAIT_0(kvr_ctx, &kvr_exprOK, &kvr_exprKO, kvr_wtime_0))
           {
            kvr_end_waittil_debug = 1;
            break;
           }
          if (!kvr_rcv)
           {
            kvr_tnow = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
            while (kvr_tnow < kvr_tn1)
             {
              kvr_sleep(kvr_tn1-kvr_tnow);
              kvr_tnow = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
             }
           }
         }
       }
#ifdef KVR_KESTRUN_DEBUG
      if (!kvr_continue_debug)
       {
#endif
        kvr_state ( &(kvr_ctx->kvr_ctxrun), (KVR_MATCHED_2(kvr_msg_Ping[0],kvr_state_channel[0][0])), 45);
        kvr_Ping_ref_msg (kvr_ctx, &(kvr_msg_Ping[0]));
        if (kvr_exprKO)
         {
#if KVS_DYNFLW
          kvr_end_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 7, 1, 1);
#endif /* KVS_DYNFLW */
          kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 1, 46, "Ping");
#ifdef KVR_KESTRUN_DEBUG
          kvr_continue_debug = 1;
#else
          return ( 1 );
#endif
         }
        else if (kvr_exprOK)
         {
#if KVS_DYNFLW
          kvr_end_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 7, 1, 0);
#endif /* KVS_DYNFLW */
          kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 0, 46, "Ping");
         }
#ifdef KVR_KESTRUN_DEBUG
       }
#endif
     }
#ifdef KVR_KESTRUN_DEBUG
    kvr_debug_state |= kvr_continue_debug;
#endif
   }
   {
    KVR_T_INT kvr_end_waittil_debug=0;
#ifdef KVR_KESTRUN_DEBUG
    KVR_T_INT kvr_continue_debug=0;
#endif
    if (0
    ||(!kvr_msg_Note[0].kvr_defNumber)
    )
     {
      kvr_nodefmsg(&(kvr_ctx->kvr_ctxrun), 47);
#ifdef KVR_KESTRUN_DEBUG
      kvr_continue_debug = 1;
#else
      return ( 1 );
#endif
     }
    else if (!(0
    ||(kvr_channel_Line[0].kvr_numberofId)
    ))
     {
      kvr_noaddid(&(kvr_ctx->kvr_ctxrun), 47);
#ifdef KVR_KESTRUN_DEBUG
      kvr_continue_debug = 1;
#else
      return ( 1 );
#endif
     }
    else
     {
      KVR_T_INT kvr_i, kvr_ret, kvr_cbret, kvr_rcv;
      KVR_T_INT kvr_exprOK=0, kvr_exprKO=0;
      KVR_T_UTIME kvr_wtime_0, kvr_t0, kvr_tn, kvr_tn1, kvr_tnow;
      kvr_initstates (kvr_ctx);
#if KVS_DYNFLW
      kvr_begin_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 8, 1);
#endif /* KVS_DYNFLW */
      kvr_waittil (&(kvr_ctx->kvr_ctxrun), 47);
      kvr_wtime = 0;
      kvr_t0 = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
      kvr_tn = kvr_t0 ;
      kvr_tn1=kvr_tn+kvr_gran;
      for (;
#ifdef KVR_KESTRUN_DEBUG
      !kvr_continue_debug &&
#endif
      !kvr_end_waittil_debug;)
       {
        kvr_rcv = 0;
        kvr_tnow = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
        while (kvr_tnow >= kvr_tn1)
         {
          kvr_tn = kvr_tn1 ;
          kvr_tn1=kvr_tn+kvr_gran;
         }
        KVR_TIMEOUT = ( (((kvr_tnow - kvr_t0)/KVR_WTIME_TO_TIME) < 60) ? (60 - (kvr_tnow - kvr_t0)/KVR_WTIME_TO_TIME) : 0);
        /* CommType Line */
        /* Channel l1 */
        /* Type message Note */
        for (kvr_i=0;
#ifdef KVR_KESTRUN_DEBUG
        !kvr_continue_debug&&
#endif
        !kvr_end_waittil_debug && kvr_i<kvr_channel_Line[0].kvr_numberofId;kvr_i++)
         {
          kvr_ret = 0;
          kvr_rio_off(&(kvr_ctx->kvr_ctxrun));
          kvr_cbret=kvr_Note_ON_Line(kvr_ctx,0,kvr_i);
          kvr_rio_on(&(kvr_ctx->kvr_ctxrun));
          if (kvr_cbret== 1)
           {
#if KVS_DYNFLW
            kvr_end_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 10, 1, 2);
#endif /* KVS_DYNFLW */
            kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 2, 49, "Note");
#ifdef KVR_KESTRUN_DEBUG
            kvr_continue_debug = 1;
            break;
#else
            return ( 1 );
#endif
           }
          if (kvr_cbret==KVR_MESSAGE_READ)
           {
            kvr_rcv |= 1;
            kvr_evt (&(kvr_ctx->kvr_ctxrun),25,9,0," ");
#if KVS_DYNFLW
            kvr_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), "Note", 9, 1);
#endif /* KVS_DYNFLW */
            kvr_Note_dump_msg (kvr_ctx, &(kvr_Note_rcv));
            kvr_endevt (&(kvr_ctx->kvr_ctxrun),31);
            if (kvr_Note_cmp_msg(kvr_ctx, &(kvr_msg_Note[0]),&(kvr_Note_rcv)))
             {
              kvr_def_msg(&(kvr_ctx->kvr_ctxrun),26);
              kvr_ret=1;
              kvr_msg_Note[0].kvr_state_channel[1][0]|=KVR_EVTOK;
             }
            else
             {
              kvr_msg_Note[0].kvr_state_channel[1][0]|=KVR_EVTKO;
             }
           }
          if (kvr_ret)
           {
            kvr_wtime_0 = kvr_logdate / kvr_gran;
           }
          else
           {
            kvr_wtime_0 = kvr_getwtime(&(kvr_ctx->kvr_ctxrun));
           }
          if (kvr_WAIT_1(kvr_ctx, &kvr_exprOK, &kvr_exprKO, kvr_wtime_0))
           {
            kvr_end_waittil_debug = 1;
            break;
           }
         }
        if (!kvr_end_waittil_debug
#ifdef KVR_KESTRUN_DEBUG
        && !kvr_continue_debug
#endif
        )
         {
          kvr_wtime_0 = kvr_getwtime(&(kvr_ctx->kvr_ctxrun));
          if (kvr_WAIT_1(kvr_ctx, &kvr_exprOK, &kvr_exprKO, kvr_wtime_0))
           {
            kvr_end_waittil_debug = 1;
            break;
           }
          if (!kvr_rcv)
           {
            kvr_tnow = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
            while (kvr_tnow < kvr_tn1)
             {
              kvr_sleep(kvr_tn1-kvr_tnow);
              kvr_tnow = kvr_getevtdate (&(kvr_ctx->kvr_ctxrun));
             }
           }
         }
       }
#ifdef KVR_KESTRUN_DEBUG
      if (!kvr_continue_debug)
       {
#endif
        kvr_state ( &(kvr_ctx->kvr_ctxrun), (KVR_MATCHED_2(kvr_msg_Note[0],kvr_state_channel[1][0])), 48);
        kvr_Note_ref_msg (kvr_ctx, &(kvr_msg_Note[0]));
        if (kvr_exprKO)
         {
#if KVS_DYNFLW
          kvr_end_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 10, 1, 1);
#endif /* KVS_DYNFLW */
          kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 1, 49, "Note");
#ifdef KVR_KESTRUN_DEBUG
          kvr_continue_debug = 1;
#else
          return ( 1 );
#endif
         }
        else if (kvr_exprOK)
         {
#if KVS_DYNFLW
          kvr_end_waittil_tsf ( &(kvr_ctx->kvr_ctxrun), 10, 1, 0);
#endif /* KVS_DYNFLW */
          kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 0, 49, "Note");
         }
#ifdef KVR_KESTRUN_DEBUG
       }
#endif
     }
#ifdef KVR_KESTRUN_DEBUG
    kvr_debug_state |= kvr_continue_debug;
#endif
   }
#ifdef KVR_KESTRUN_DEBUG
  return ( kvr_debug_state );
#else
  return ( 0 );
#endif
 }
static KVR_T_INT kvr_S42 KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_local_state = 0;
  KVR_T_INT kvr_global_state = 0;
  J1 = 1;
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),50, 43 ,1, J1, "Both", 3, 1);
  kvr_local_state = kvr_S43 (kvr_ctx);
  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),kvr_local_state,50,1,J1,"Both",4,1);
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
      kvr_notify_tsf (&(kvr_ctx->kvr_ctxrun), 1, 2006, 54658);
      /* To_spv: 1 -> (557,54018) - t.zod -*/
     }
   }
  
  kvr_declare_ni_tsf (&(kvr_ctx->kvr_ctxrun), 1);
#endif /* KVS_DYNFLW */
  
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),51, 42 , 0, J0, "", 0, 0);
  kvr_local_state = kvr_S42 (kvr_ctx);
  kvr_stopchronomarkloop ( &(kvr_ctx->kvr_ctxrun),kvr_local_state, 51, 0, J0, "", 0, 0);
  kvr_end (&(kvr_ctx->kvr_ctxrun));
#if KVS_DYNFLW
  kvr_endoftester_tagtlk ( &(kvr_ctx->kvr_ctxrun) );
  priv_close_tagtlk ( &(kvr_tagtsocket) );
#endif /* KVS_DYNFLW */
  
  KVS_EXIT ((kvr_local_state != 0));
  return ( 0 );
 }
