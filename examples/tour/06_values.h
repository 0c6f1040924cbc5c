/* A robot arm: structured data to set and to check. */
#ifndef VALUES_H
#define VALUES_H

#define ARM_JOINTS 6

typedef struct {
    int x;
    int y;
    int z;
} arm_point_t;

typedef struct {
    char name[12];
    arm_point_t target;
    int angles[ARM_JOINTS];
    const char *note;
    double speed;
} arm_move_t;

/* What the arm answers: a code or a text, never both. */
typedef union {
    int code;
    char text[8];
} arm_reply_t;

int arm_plan(arm_move_t *move);    /* fills in the angles */
int arm_ask(arm_reply_t *reply);   /* 0 when it answered */

#endif
