/* Message types and variables of the C library's own headers. */
#include <netinet/ip.h>
#include <net/if.h>
#include <signal.h>
#include <setjmp.h>
#include <sys/wait.h>
typedef struct ip ip_packet_t;
typedef struct ifreq if_request_t;
typedef int conn_t;
