/* empty interface */
int sut_value;
