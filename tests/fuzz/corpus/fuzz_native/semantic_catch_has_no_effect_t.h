int api(int);
