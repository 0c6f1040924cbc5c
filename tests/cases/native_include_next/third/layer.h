#undef LAYERS
#define LAYERS 2
