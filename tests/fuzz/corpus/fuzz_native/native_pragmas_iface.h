#pragma korva incl_std
#pragma korva incl_std "extra"
#include <extra_types.h>
#pragma korva no_such_keyword
#pragma korva stop_analyse
this is not C at all
#pragma korva start_analyse
extra_t value;
