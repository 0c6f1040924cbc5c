int sut_value;
double dv;
