int sut_state;
