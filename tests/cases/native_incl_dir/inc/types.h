typedef unsigned long counter_t;
