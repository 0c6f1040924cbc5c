/* A printer with optional parts: what a run tests is chosen by filter letters. */
#ifndef FILTERS_H
#define FILTERS_H

int printer_print(const char *text);    /* 0 when printed */
int printer_duplex(int on);
int printer_staple(void);

#endif
