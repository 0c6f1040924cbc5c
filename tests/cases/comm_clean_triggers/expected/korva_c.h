#include "t.h"
typedef int T_ENTIER;
#define CONST
#define PP(ARGS) ()
#define DP(ARGS) ARGS
#define SP ;
#define EP ;
#define BP
#define VOID
void Ping_Init PP ((Ping *current,T_ENTIER id));

void Wrap_Init PP ((Wrap *current,T_ENTIER id));

