/* Nothing but the variables of the script. */
typedef int unused_t;
