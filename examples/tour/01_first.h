/* A thermostat: the system under test of the first example. */
#ifndef FIRST_H
#define FIRST_H

int thermostat_set(int degrees);   /* returns 0 when accepted */
int thermostat_read(void);         /* the temperature it holds */

#endif
