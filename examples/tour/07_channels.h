/* A lift controller, reached over links: requests go out, events come back. */
#ifndef CHANNELS_H
#define CHANNELS_H

typedef int lift_link_t;                 /* identifier of an open link */

typedef enum { DOOR_OPEN, DOOR_CLOSED } door_t;

typedef struct {
    int floor;
    int urgent;
} lift_request_t;

typedef struct {
    int floor;
    door_t door;
    char text[16];
} lift_event_t;

typedef struct {
    int floor;
} lift_call_t;                           /* a call button pressed on a landing */

lift_link_t lift_connect(const char *where);
int lift_write(lift_link_t link, const lift_request_t *request);
int lift_poll(lift_link_t link, lift_event_t *event);   /* 1 when an event was read */
int lift_poll_panels(const lift_link_t *links, int count, lift_call_t *call);

#endif
