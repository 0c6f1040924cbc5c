/* A traffic light: states to step through and a clock to wait on. */
#ifndef CONTROL_H
#define CONTROL_H

typedef enum { LIGHT_RED, LIGHT_GREEN, LIGHT_AMBER } light_t;

light_t light_state(void);
int light_step(void);           /* 0 when the light moved on */
int light_cycles(void);         /* completed cycles */

#endif
