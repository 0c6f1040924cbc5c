typedef long extra_t;
