int sut_value;
