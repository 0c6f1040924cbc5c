/*
 * Reference declarations of the DEFAULT probe, included by the probe header:
 * the size of the decoder's table of tester contexts and the declaration that
 * the decoder states after its context structure. The generated files are
 * checked against this header. Plain C99.
 */
#ifndef KVR_KVRDECLAR_H
#define KVR_KVRDECLAR_H

/* Testers the instrumented system may start with kvr_start_trace. */
#ifndef NB_INSTANCES
#define NB_INSTANCES 64
#endif

/* The table of tester contexts, for use once struct KVR_T_CTX is complete. */
#define kvr_declar extern struct KVR_T_CTX tab_global_ctx[NB_INSTANCES]

#endif
