/* A shared counter that two testers drive at once. */
#ifndef INSTANCES_H
#define INSTANCES_H

int counter_add(int amount);   /* returns the new total */
int counter_total(void);

#endif
