/*
 * Reference declarations for the acquisition functions of the callback
 * templates (fctri_c, fctfc_c): the test runtime. The generated files are
 * checked against this header. Plain C99.
 */
#ifndef KVR_CCST_H
#define KVR_CCST_H

#include "TP.h"

#endif
