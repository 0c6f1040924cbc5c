/* A pump: the system under test of the scenario example. */
#ifndef SCENARIOS_H
#define SCENARIOS_H

int pump_power(int on);      /* 0 when the pump followed */
int pump_flow(void);         /* litres per minute */
void pump_reset(void);

#endif
