/* interface of the system under test */
typedef int conn_t;
