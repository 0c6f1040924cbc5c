#ifndef TARGET_TYPES_H
#define TARGET_TYPES_H
typedef int kvr_word_t;
#endif
