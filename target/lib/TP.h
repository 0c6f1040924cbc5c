/*
 * Reference declarations of the test runtime: every type, constant, macro and
 * function that the generated test drivers, probe decoders and callback
 * templates use. The generated files are checked against this header; a
 * runtime library provides the definitions. Plain C99.
 */
#ifndef KVR_TP_H
#define KVR_TP_H

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* ------------------------------------------------------------ scalar types */

typedef int KVR_T_INT;
typedef unsigned int KVR_T_UINT;
typedef KVR_T_UINT *KVR_PT_UINT;
typedef int KVR_T_ENUM;
typedef long KVR_T_LONG;
typedef unsigned long KVR_T_ULONG;
typedef float KVR_T_REAL;
typedef double KVR_T_DOUBLE;
typedef char KVR_T_CAR;
typedef char *KVR_PT_CAR;
typedef void *KVR_PT_VOID;

/* Dates and wait ticks: microseconds of a monotonic clock. */
typedef unsigned long long KVR_T_UTIME;
typedef KVR_T_UTIME KVR_T_DATE;
#define KVR_TP_UTIME "%llu"

typedef struct kvr_s_timer {
    KVR_T_DATE timer;
} KVR_T_TIMER;

/* ------------------------------------------------------------ function heads */

/* Portable function heads, in their prototype form:
 * "f KVR_DP((a,b)) KVR_BP T a KVR_SP U b KVR_EP" reads "f ( T a , U b )". */
#define KVR_DP(x)
#define KVR_BP (
#define KVR_SP ,
#define KVR_EP )
#define KVR_CONST const

/* ------------------------------------------------------------ run context */

#define KVR_K_FILTERS 26
#define KVR_K_NAME_SIZE 300

typedef struct kvr_s_tracectx {
    KVR_PT_CAR kvr_ctxbuffertrace;
    KVR_T_INT kvr_ctxbuffersize;
    KVR_T_INT kvr_ctxbuffersizeleft;
    KVR_T_INT kvr_ctxtracepriority;
    KVR_PT_CAR kvr_ctxcurrentline;
    KVR_PT_CAR kvr_ctxlinetoerase;
    KVR_PT_CAR kvr_ctxlastline;
} KVR_T_TRACECTX;

/* The runtime's part of a tester context; generated code reaches these
 * members through its access macros. The private part belongs to the runtime. */
typedef struct kvr_s_runctx {
    KVR_T_CAR kvr_ctxfilter[KVR_K_FILTERS];
    KVR_T_INT kvr_ctxnuminstance;
    KVR_T_INT kvr_ctxtagtsocket;
    KVR_T_CAR kvr_ctxtesternaming[KVR_K_NAME_SIZE];
    KVR_T_INT kvr_ctxtagttimeout;
    KVR_T_INT kvr_ctxtagtcommactivated;
    KVR_T_INT kvr_ctxoccid;
    KVR_T_UTIME kvr_ctxwtime;
    KVR_T_UTIME kvr_ctxlwait;
    KVR_T_ULONG kvr_ctxtimeout;
    KVR_T_UTIME kvr_ctxrcvtime;
    KVR_T_UTIME kvr_ctxlogdate;
    KVR_T_TRACECTX kvr_ctxtracectx;
    KVR_T_INT kvr_ctxflagprobe;
    KVR_T_DATE kvr_ctxusrdate;
    void *kvr_ctxprivate;
} KVR_T_RUNCTX;

/* Events of the interface-function table. */
typedef struct kvr_s_korva_evt T_KORVA_EVT;
typedef T_KORVA_EVT *PT_KORVA_EVT;

typedef struct kvr_s_api {
    void (*apifctfill)(void);
    void (*apifctcheck)(void);
    void (*apifctinit)(void);
    PT_KORVA_EVT apirefevt;
    PT_KORVA_EVT apievt;
} KVR_T_API;

/* Thread form: the launcher's record of one virtual tester. */
typedef void *KVR_T_THREAD_RETURN;
typedef struct kvr_s_arg {
    KVR_PT_CAR kvr_filters;
    KVR_PT_CAR kvr_instance;
    KVR_T_INT kvr_occid;
    KVR_PT_CAR kvr_riofilename;
} KVR_T_ARG, *KVR_PT_ARG;

/* ------------------------------------------------------------ constants */

#define KVR_NOEVT 0
#define KVR_EVTOK 1
#define KVR_EVTKO 2
#define KVR_MESSAGE_SENT 0
#define KVR_NO_MESSAGE 16
#define KVR_MESSAGE_READ 17
#define KVR_K_ID_SIZE 16
#define KVS_TAGTBUF_SIZE 1024
#define KVR_WTIME_TO_TIME 1000
#define kvr_gran 1000
#define K_TRACECTX_MAX_PRIORITY 100
#define KVR_P_BASE2 2
#define KVR_P_BASE8 8
#define KVR_P_BASE10 10
#define KVR_P_BASE16 16

#ifndef KVS_DYNFLW
#define KVS_DYNFLW 0
#endif

/* Copies into the character arrays of the generated entry (lstflt,
   argRioFileName): bounded by the array's size, the text cut if longer. */
#define KVS_STRCPY(d, s) ((void)snprintf((d), sizeof(d), "%s", (s)))
#define KVS_STRCAT(d, s) ((void)strncat((d), (s), sizeof(d) - strlen(d) - 1))
#define KVS_EXIT(n) exit(n)

#ifndef NIL
#define NIL 0
#endif
#define NONIL ((void *)1)

/* The wait clock of the wait condition being evaluated. */
#define WTIME (kvr_wtime)

/* Matching operators over a message-state record m and, for the channel
 * forms, its channel state s. */
#define KVR_MATCHING_1(m) ((m).kvr_state == KVR_EVTOK)
#define KVR_MATCHED_1(m) ((m).kvr_stateok != 0)
#define KVR_NOTMATCHING_1(m) ((m).kvr_state == KVR_EVTKO)
#define KVR_NOTMATCHED_1(m) ((m).kvr_stateko != 0 && (m).kvr_stateok == 0)
#define KVR_MATCHING_2(m, s) (((m).s & KVR_EVTOK) != 0)
#define KVR_MATCHED_2(m, s) (((m).s & KVR_EVTOK) != 0)
#define KVR_NOTMATCHING_2(m, s) (((m).s & KVR_EVTKO) != 0)
#define KVR_NOTMATCHED_2(m, s) (((m).s & KVR_EVTKO) != 0 && ((m).s & KVR_EVTOK) == 0)

/* A union member assignment of the value lines. */
#define kvr_assign_union(ctx, target, value) ((target) = (value))

/* Loop variables of the scenario depths and of the array depths. */
extern KVR_T_INT J0, J1, J2, J3, J4, J5, J6, J7, J8, J9, J10, J11, J12, J13, J14, J15, J16, J17, J18, J19, J20, J21, J22, J23, J24, J25, J26, J27, J28, J29, J30, J31, J32, J33, J34, J35, J36, J37, J38, J39, J40, J41, J42, J43, J44, J45, J46, J47, J48, J49, J50, J51, J52, J53, J54, J55, J56, J57, J58, J59, J60, J61, J62, J63;
extern KVR_T_INT I0, I1, I2, I3, I4, I5, I6, I7, I8, I9, I10, I11, I12, I13, I14, I15, I16, I17, I18, I19, I20, I21, I22, I23, I24, I25, I26, I27, I28, I29, I30, I31, I32, I33, I34, I35, I36, I37, I38, I39, I40, I41, I42, I43, I44, I45, I46, I47, I48, I49, I50, I51, I52, I53, I54, I55, I56, I57, I58, I59, I60, I61, I62, I63;

/* ------------------------------------------------------------ trace file */

void kvr_initrio(KVR_T_RUNCTX *ctx, const char *rio, const char *filters, KVR_T_INT single, KVR_T_INT unselected,
                 const char *instance, KVR_T_INT occid, const char *gentag, const char *debug);
void kvr_initrio_with_dynamicfollowing(KVR_T_RUNCTX *ctx, const char *rio, const char *filters, KVR_T_INT single,
                                       KVR_T_INT unselected, const char *instance, KVR_T_INT occid,
                                       const char *gentag, const char *debug);
void kvr_initrio_no_dynamicfollowing(KVR_T_RUNCTX *ctx, const char *rio, const char *filters, KVR_T_INT single,
                                     KVR_T_INT unselected, const char *instance, KVR_T_INT occid,
                                     const char *gentag, const char *debug);
void kvr_set_trace_functions(KVR_T_RUNCTX *ctx);
void kvr_end(KVR_T_RUNCTX *ctx);
void kvr_rio_off(KVR_T_RUNCTX *ctx);
void kvr_rio_on(KVR_T_RUNCTX *ctx);
void kvr_trace_on(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_trace_off(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_flush_trace(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_flush_circular_buffer(KVR_T_RUNCTX *ctx, KVR_T_INT priority);
void kvr_comment(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_print(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_ULONG value);

/* ------------------------------------------------------------ time */

KVR_T_UTIME kvr_getevtdate(KVR_T_RUNCTX *ctx);
KVR_T_UTIME kvr_getwtime(KVR_T_RUNCTX *ctx);
void kvr_sleep(KVR_T_UTIME delay);
void kvr_pause(KVR_T_UTIME delay);
void kvr_get_date(KVR_T_DATE *date);
KVR_T_ULONG kvr_time(KVR_T_DATE *since);

/* ------------------------------------------------------------ scenarios, blocks, procedures */

void kvr_startchronomarkloop(KVR_T_RUNCTX *ctx, KVR_T_INT end, KVR_T_INT start, KVR_T_INT depth, KVR_T_INT iteration,
                             const char *path, KVR_T_INT report, KVR_T_INT file);
void kvr_stopchronomarkloop(KVR_T_RUNCTX *ctx, KVR_T_INT state, KVR_T_INT end, KVR_T_INT depth, KVR_T_INT iteration,
                            const char *path, KVR_T_INT report, KVR_T_INT file);
void kvr_binit(KVR_T_RUNCTX *ctx, KVR_T_INT end, KVR_T_INT start, KVR_T_INT depth, KVR_T_INT iteration);
void kvr_bterm(KVR_T_RUNCTX *ctx, KVR_T_INT end, KVR_T_INT start, KVR_T_INT depth, KVR_T_INT iteration);
void kvr_bexcep(KVR_T_RUNCTX *ctx, KVR_T_INT end, KVR_T_INT start, KVR_T_INT depth, KVR_T_INT iteration);
void kvr_ainit(KVR_T_RUNCTX *ctx, KVR_T_INT failed, KVR_T_INT end, KVR_T_INT depth, KVR_T_INT iteration);
void kvr_aterm(KVR_T_RUNCTX *ctx, KVR_T_INT failed, KVR_T_INT end, KVR_T_INT depth, KVR_T_INT iteration);
void kvr_aexcep(KVR_T_RUNCTX *ctx, KVR_T_INT failed, KVR_T_INT end, KVR_T_INT depth, KVR_T_INT iteration);
void kvr_bproc(KVR_T_RUNCTX *ctx, KVR_T_INT start);
void kvr_aproc(KVR_T_RUNCTX *ctx, KVR_T_INT end);
void kvr_error(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_rioexit(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_enable(KVR_T_RUNCTX *ctx, KVR_T_INT (*cleanup)());
void kvr_disable(KVR_T_RUNCTX *ctx, KVR_T_INT (*cleanup)());

/* ------------------------------------------------------------ waits and messages */

void kvr_waittil(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_endwaittil(KVR_T_RUNCTX *ctx, KVR_T_INT status, KVR_T_INT end, const char *type);
void kvr_nodefmsg(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_noaddid(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_evt(KVR_T_RUNCTX *ctx, KVR_T_INT type, KVR_T_INT channel, KVR_T_INT flags, const char *text);
/* The start of a replayed event, before its record proper. */
void kvr__evt(KVR_T_RUNCTX *ctx, KVR_T_INT type, KVR_T_INT channel);
void kvr_endevt(KVR_T_RUNCTX *ctx, KVR_T_INT end);
void kvr_def_msg(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_state(KVR_T_RUNCTX *ctx, KVR_T_INT value, KVR_T_INT code);
void kvr_msgdate(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_nomsg(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_numofid(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_send(KVR_T_RUNCTX *ctx, KVR_T_INT code, const char *variable);
void kvr_end_send(KVR_T_RUNCTX *ctx, KVR_T_INT status, KVR_T_INT end);
int kvr_pollevt(int ids[], int count);

/* ------------------------------------------------------------ filters */

void kvr_setfilter(KVR_T_RUNCTX *ctx, const char *letters, KVR_T_INT code);
void kvr_unsetfilter(KVR_T_RUNCTX *ctx, const char *letters, KVR_T_INT code);

/* ------------------------------------------------------------ rendezvous and exchange between testers */

void kvr_brdv(KVR_T_RUNCTX *ctx, KVR_T_INT code, const char *name);
KVR_T_INT kvr_rdv(const char *name);
void kvr_ardv(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT failed, const char *name);
KVR_T_INT kvr_intersend(KVR_T_RUNCTX *ctx, const char *text, const char *target);
void kvr_isend(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT failed, const char *text, const char *target);
void kvr_irecv(KVR_T_RUNCTX *ctx, KVR_T_INT code);
KVR_T_INT priv_interrecv(KVR_T_INT *sock, KVR_T_INT timeout, char *buffer, long size, char **from, char **info);
void kvr_end_irecv(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT status, const char *from, const char *info);

/* ------------------------------------------------------------ calls of interface functions */

void kvr_bcf(KVR_T_RUNCTX *ctx, KVR_T_INT code);
KVR_T_INT kvr_cf(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_T_INT value, KVR_T_INT upper, KVR_T_INT target,
               KVR_T_INT code);
void kvr_char_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_T_CAR value, KVR_T_CAR upper, KVR_T_CAR target,
                KVR_T_INT code);
void kvr_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_T_LONG value, KVR_T_LONG upper, KVR_T_LONG target,
                KVR_T_INT code);
void kvr_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_T_REAL value, KVR_T_REAL upper, KVR_T_REAL target,
                 KVR_T_INT code);
void kvr_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_T_DOUBLE value, KVR_T_DOUBLE upper,
                  KVR_T_DOUBLE target, KVR_T_INT code);
void kvr_string_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_PT_CAR value, KVR_PT_CAR upper, KVR_PT_CAR target,
                  KVR_T_INT code);
void kvr_nonil_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_PT_VOID value, KVR_PT_VOID upper, KVR_PT_VOID target,
                 KVR_T_INT code);
void kvr_pointer_c(KVR_T_RUNCTX *ctx, KVR_T_INT has_upper, KVR_PT_VOID value, KVR_PT_VOID upper,
                   KVR_PT_VOID target, KVR_T_INT code);

/* ------------------------------------------------------------ value display, comparison and dump */

void kvr_var_va(KVR_T_RUNCTX *ctx, KVR_T_INT code);
KVR_T_INT kvr_end_var_va(KVR_T_RUNCTX *ctx, KVR_T_INT end);
void kvr_var(KVR_T_RUNCTX *ctx, KVR_T_INT code);
KVR_T_INT kvr_cmp(KVR_T_RUNCTX *ctx);
void kvr_setflagrt(KVR_T_RUNCTX *ctx);
void kvr_vartab(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_varstruct(KVR_T_RUNCTX *ctx, KVR_T_INT code);
void kvr_varplage(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT low, KVR_T_INT high);
void kvr_varreset(KVR_T_RUNCTX *ctx);

/* Display lines: the target, the value shown, [the base,] the index and the bound. */
void kvr_var_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT target, KVR_T_INT value, KVR_T_INT base,
                   KVR_T_INT index, KVR_T_INT bound);
void kvr_var_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_LONG target, KVR_T_LONG value, KVR_T_INT base,
                    KVR_T_INT index, KVR_T_INT bound);
void kvr_var_bytetab_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_CAR value, KVR_T_INT base,
                       KVR_T_INT index, KVR_T_INT bound);
void kvr_var_byte_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_CAR value, KVR_T_INT base,
                    KVR_T_INT index, KVR_T_INT bound);
void kvr_var_char_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_CAR value, KVR_T_INT base,
                    KVR_T_INT index, KVR_T_INT bound);
void kvr_var_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_REAL target, KVR_T_REAL value, KVR_T_INT index,
                     KVR_T_INT bound);
void kvr_var_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_DOUBLE target, KVR_T_DOUBLE value,
                      KVR_T_INT index, KVR_T_INT bound);
void kvr_var_string_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_CAR target, KVR_PT_CAR value, KVR_T_INT index,
                      KVR_T_INT bound);
void kvr_var_nonil_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_VOID target, KVR_PT_VOID value, KVR_T_INT index,
                     KVR_T_INT bound);
void kvr_var_pointer_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_VOID target, KVR_PT_VOID value,
                       KVR_T_INT index, KVR_T_INT bound);

/* Comparison lines: the received field against the reference. */
void kvr_cmp_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT target, KVR_T_INT reference, KVR_T_INT index,
                   KVR_T_INT bound);
void kvr_cmp_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_LONG target, KVR_T_LONG reference, KVR_T_INT index,
                    KVR_T_INT bound);
void kvr_cmp_char_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_CAR reference, KVR_T_INT index,
                    KVR_T_INT bound);
void kvr_cmp_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_REAL target, KVR_T_REAL reference, KVR_T_INT index,
                     KVR_T_INT bound);
void kvr_cmp_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_DOUBLE target, KVR_T_DOUBLE reference,
                      KVR_T_INT index, KVR_T_INT bound);
void kvr_cmp_string_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_CAR target, KVR_PT_CAR reference, KVR_T_INT index,
                      KVR_T_INT bound);
void kvr_cmp_nonil_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_VOID target, KVR_PT_VOID reference,
                     KVR_T_INT index, KVR_T_INT bound);
void kvr_cmp_pointer_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_VOID target, KVR_PT_VOID reference,
                       KVR_T_INT index, KVR_T_INT bound);

/* Dump lines. */
void kvr_dmp_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT target, KVR_T_INT base, KVR_T_INT index,
                   KVR_T_INT bound);
void kvr_dmp_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_LONG target, KVR_T_INT base, KVR_T_INT index,
                    KVR_T_INT bound);
void kvr_dmp_bytetab_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_INT base, KVR_T_INT index,
                       KVR_T_INT bound);
void kvr_dmp_byte_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_INT base, KVR_T_INT index,
                    KVR_T_INT bound);
void kvr_dmp_char_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_INT base, KVR_T_INT index,
                    KVR_T_INT bound);
void kvr_dmp_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_REAL target, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_DOUBLE target, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_string_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_CAR target, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_nonil_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_VOID target, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_pointer_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_PT_VOID target, KVR_T_INT index, KVR_T_INT bound);

/* Range lines: each bound comes with a flag telling whether it is given. */
void kvr_var_range_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT target, KVR_T_INT has_low, KVR_T_INT low,
                         KVR_T_INT has_high, KVR_T_INT high, KVR_T_INT base, KVR_T_INT index, KVR_T_INT bound);
void kvr_var_range_byte_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_INT has_low, KVR_T_CAR low,
                          KVR_T_INT has_high, KVR_T_CAR high, KVR_T_INT base, KVR_T_INT index, KVR_T_INT bound);
void kvr_var_range_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_LONG target, KVR_T_INT has_low, KVR_T_LONG low,
                          KVR_T_INT has_high, KVR_T_LONG high, KVR_T_INT base, KVR_T_INT index, KVR_T_INT bound);
void kvr_var_range_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_REAL target, KVR_T_INT has_low,
                           KVR_T_REAL low, KVR_T_INT has_high, KVR_T_REAL high, KVR_T_INT index, KVR_T_INT bound);
void kvr_var_range_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_DOUBLE target, KVR_T_INT has_low,
                            KVR_T_DOUBLE low, KVR_T_INT has_high, KVR_T_DOUBLE high, KVR_T_INT index,
                            KVR_T_INT bound);
void kvr_cmp_range_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT target, KVR_T_INT has_low, KVR_T_INT low,
                         KVR_T_INT has_high, KVR_T_INT high, KVR_T_INT index, KVR_T_INT bound);
void kvr_cmp_range_byte_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_CAR target, KVR_T_INT has_low, KVR_T_CAR low,
                          KVR_T_INT has_high, KVR_T_CAR high, KVR_T_INT index, KVR_T_INT bound);
void kvr_cmp_range_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_LONG target, KVR_T_INT has_low, KVR_T_LONG low,
                          KVR_T_INT has_high, KVR_T_LONG high, KVR_T_INT index, KVR_T_INT bound);
void kvr_cmp_range_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_REAL target, KVR_T_INT has_low,
                           KVR_T_REAL low, KVR_T_INT has_high, KVR_T_REAL high, KVR_T_INT index, KVR_T_INT bound);
void kvr_cmp_range_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_DOUBLE target, KVR_T_INT has_low,
                            KVR_T_DOUBLE low, KVR_T_INT has_high, KVR_T_DOUBLE high, KVR_T_INT index,
                            KVR_T_INT bound);
void kvr_dmp_range_int_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT has_low, KVR_T_INT low, KVR_T_INT has_high,
                         KVR_T_INT high, KVR_T_INT base, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_range_byte_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT has_low, KVR_T_CAR low, KVR_T_INT has_high,
                          KVR_T_CAR high, KVR_T_INT base, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_range_long_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT has_low, KVR_T_LONG low, KVR_T_INT has_high,
                          KVR_T_LONG high, KVR_T_INT base, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_range_float_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT has_low, KVR_T_REAL low,
                           KVR_T_INT has_high, KVR_T_REAL high, KVR_T_INT index, KVR_T_INT bound);
void kvr_dmp_range_double_c(KVR_T_RUNCTX *ctx, KVR_T_INT code, KVR_T_INT has_low, KVR_T_DOUBLE low,
                            KVR_T_INT has_high, KVR_T_DOUBLE high, KVR_T_INT index, KVR_T_INT bound);

/* ------------------------------------------------------------ dynamic following */

void kvr_special_block_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT report, KVR_T_INT file, KVR_T_INT tag, KVR_T_INT begin);
void kvr_rdv_reached_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT failed, KVR_T_INT report, KVR_T_INT file);
void kvr_intersend_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT report, KVR_T_INT file, const char *target);
void kvr_begin_waittil_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT report, KVR_T_INT file);
void kvr_end_waittil_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT report, KVR_T_INT file, KVR_T_INT status);
void kvr_waittil_tsf(KVR_T_RUNCTX *ctx, const char *type, KVR_T_INT report, KVR_T_INT file);
void kvr_send_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT report, KVR_T_INT file);
void kvr_interrecv_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT report, KVR_T_INT file, const char *info, const char *from);
void kvr_notify_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT file, long idnum, long key);
void kvr_declare_ni_tsf(KVR_T_RUNCTX *ctx, KVR_T_INT file);
KVR_T_INT priv_boot_tagtlk(KVR_T_INT *sock, const char *instance, const char *tester, KVR_T_INT *timeout,
                           KVR_T_INT *active);
void kvr_endoftester_tagtlk(KVR_T_RUNCTX *ctx);
void priv_close_tagtlk(KVR_T_INT *sock);

/* ------------------------------------------------------------ process and C library */

/* Ends the calling tester thread; it does not return to the routine. */
#if defined(__GNUC__)
__attribute__((noreturn))
#endif
void kvr_thr_exit(KVR_T_INT status);
void *kvr_memcpy(void *target, const void *source, size_t size);
int kvr_sprintf(char *target, const char *format, ...);
int kvr_strncmp(const char *a, const char *b, size_t size);
int kvr_strcmp(const char *a, const char *b);
char *kvr_strstr(const char *text, const char *part);
void *kvr_malloc(size_t size);
void kvr_free(void *block);

#endif
