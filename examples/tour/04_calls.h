/* A small key-value store: functions with inputs, outputs and results. */
#ifndef CALLS_H
#define CALLS_H

int store_put(const char *key, int value);        /* 0 when stored */
int store_get(const char *key, int *value);       /* 0 when found; *value receives it */
long store_size(void);                            /* number of keys */
void store_clear(void);
int store_log(const char *format, ...);

#endif
