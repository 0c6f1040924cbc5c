#include <target_types.h>
extern kvr_word_t level;
