int legacy();
