/* A bank account service: shared set-up lives in an include file. */
#ifndef INCLUDES_H
#define INCLUDES_H

int account_open(const char *owner, long initial_balance);  /* an account number */
long account_balance(int account);
int account_transfer(int from, int to, long amount, const char *reference);

#endif
