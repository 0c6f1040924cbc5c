/* interface of the system under test */
int sut_value;
