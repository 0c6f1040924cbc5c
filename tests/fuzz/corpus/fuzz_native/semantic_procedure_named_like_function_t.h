void reset_all(void);
