struct hidden;
extern struct hidden hv;
