#include "ccst.h"
#include "korva_c.h"

void Ping_Init DP ((current,id)) BP
   Ping *current SP /* structure to initialize */
   T_ENTIER id EP /* id of connection */
 {
  /* call to the read event function */
 }
void Wrap_Init DP ((current,id)) BP
   Wrap *current SP /* structure to initialize */
   T_ENTIER id EP /* id of connection */
 {
  /* call to the read event function */
 }
