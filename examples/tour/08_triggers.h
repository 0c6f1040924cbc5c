/* A sensor hub reached over sockets: readings come in, set points go out. */
#ifndef TRIGGERS_H
#define TRIGGERS_H

typedef struct {
    int sensor;
    int value;
} hub_reading_t;

typedef struct {
    int sensor;
    int limit;
} hub_setpoint_t;

int hub_open(const char *address);                       /* a socket */
int hub_send(int socket, const hub_setpoint_t *setpoint);

#endif
