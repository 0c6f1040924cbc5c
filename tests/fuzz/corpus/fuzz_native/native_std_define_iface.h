#if !defined __KVR_TARGET__ || PLATFORM_WORD != 8
#error standard defines not read
#endif
char word[PLATFORM_WORD];
