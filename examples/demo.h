/* Interface of the demonstration system under test: a small controller that
   takes commands on a control link and reports its state on a status link. */
#ifndef DEMO_H
#define DEMO_H

#define DEMO_TEXT_SIZE 16

typedef int demo_link_t; /* identifier of an open link */

typedef enum { DEMO_IDLE, DEMO_RUNNING, DEMO_STOPPED } demo_state_t;

typedef struct {
    int x;
    int y;
} demo_position_t;

/* What the controller reports. */
typedef struct {
    int id;
    demo_state_t state;
    demo_position_t position;
    char text[DEMO_TEXT_SIZE];
} demo_message_t;

/* What the controller is told. */
typedef struct {
    int id;
    int code;
} demo_command_t;

int demo_start(int mode);
int demo_stop(int code);
demo_state_t demo_state(void);
demo_link_t demo_open(const char *name);
int demo_send(demo_link_t link, const demo_command_t *command);
int demo_receive(demo_link_t link, demo_message_t *message);

#endif
