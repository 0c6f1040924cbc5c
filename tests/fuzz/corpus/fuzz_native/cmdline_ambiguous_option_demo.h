/* system under test */
int sut_state;
