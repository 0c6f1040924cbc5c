struct msg {
    int id;
    unknown_t payload;
};
struct point { int x; }
int y;
int n[SIZE];
