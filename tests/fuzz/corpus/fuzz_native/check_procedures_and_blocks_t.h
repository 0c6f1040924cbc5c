int sut_value;
long lv;
char cv;
double dv;
