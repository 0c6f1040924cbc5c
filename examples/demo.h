/* Interface of the demonstration system under test. */
#ifndef DEMO_H
#define DEMO_H

#define DEMO_TEXT_SIZE 16

typedef enum { DEMO_IDLE, DEMO_RUNNING, DEMO_STOPPED } demo_state_t;

typedef struct {
    int id;
    demo_state_t state;
    char text[DEMO_TEXT_SIZE];
} demo_message_t;

int demo_start(int mode);
int demo_stop(int code);
demo_state_t demo_state(void);

#endif
