# The script of the end-to-end benchmarks: a header of message and
# identifier types, and a generated script of about <lines> lines that uses
# the constructs of the language. Sourced by the benchmarks.

# Writes the header to <file>.
write_bench_header() {
    cat > "$1" <<'HEADER'
typedef int conn_t;
typedef struct { int x; int y; } bench_pos_t;
typedef struct { int code; bench_pos_t pos; int tab[4]; char name[8]; } Ev;
typedef struct { int id; int status; } Ack;
int bench_get(int level, int *out);
void bench_reset(void);
HEADER
}

# The communication part that the benchmarks' scripts share: a communication
# type over conn_t, <channels> channels, <events> messages of type Ev and one
# of type Ack, and a callback and a procsend for each message type. An awk
# function, for the generators' programs to begin with.
comm_part_awk='
function comm_part(events, channels,    c, e, t, line, type) {
    print "COMMTYPE Link IS conn_t"
    line = "CHANNEL Link : ch0"
    for (c = 1; c < channels; c++) line = line ", ch" c
    print line
    line = "MESSAGE Ev : ev0"
    for (e = 1; e < events; e++) line = line ", ev" e
    print line
    print "MESSAGE Ack : ack"
    for (t = 0; t < 2; t++) {
        type = t ? "Ack" : "Ev"
        print "CALLBACK " type " : m ON Link : id"
        print "IF (id >= 0) THEN"
        print "MESSAGE_DATE"
        print "ELSE"
        print "NO_MESSAGE"
        print "END IF"
        print "END CALLBACK"
        print "PROCSEND " type " : m ON Link : id"
        print "COMMENT writes one message"
        print "END PROCSEND"
    }
}
'

# Each leaf scenario is 25 lines; the header part about 60.
generate() {  # lines, file
    awk -v leaves="$(( ($1 - 60) / 27 ))" "$comm_part_awk"'
    BEGIN {
        events = 16; channels = 8
        print "HEADER \"bench\", \"1.0\", \"generated\""
        print "DECLARE_INSTANCE Alice, Bob"
        print "# int fd; int level; int got;"
        print "# char text[32];"
        comm_part(events, channels)
        for (p = 0; p < 20; p++) {
            print "PROC p" p "(int a)"
            print "PRINT a, a"
            print "END PROC"
        }
        for (g = 0; g * 50 < leaves; g++) {
            print "SCENARIO g" g " LOOP 2"
            print "FAMILY fam" g % 10
            print "INITIALIZATION"
            print "RENDEZVOUS init" g
            print "END INITIALIZATION"
            print "TERMINATION"
            print "COMMENT done"
            print "END TERMINATION"
            for (i = g * 50; i < leaves && i < (g + 1) * 50; i++) {
                e1 = i % events; e2 = (i + 1) % events
                c1 = i % channels; c2 = (i + 1) % channels
                print "SCENARIO s" i
                print "ADD_ID (ch" c1 ", fd)"
                print "DEF_MESSAGE ev" e1 ", EV = { " i % 7 ", { 2, 3 }, { 0..3 => 1 }, \"ab\" }"
                print "SEND (ack, ch" c1 ")"
                print "WAITTIL (MATCHED(ev" e1 ", ch" c1 ") && MATCHED(ev" e2 ", ch" c2 "), WTIME > 100)"
                print "VAR level, EV = " i % 5
                print "CALL bench_get(level @ 1, REF(got @ 2)) @ 0"
                print "CALL p" i % 20 "(level)"
                print "IF (level > 0) THEN"
                print "PRINT lv, level"
                print "ELSE"
                print "RENDEZVOUS r" i
                print "END IF"
                print "WHILE (level < 3)"
                print "@ level++;"
                print "END WHILE"
                print "%A COMMENT filtered"
                print "SET (\"AB\")"
                print "INSTANCE Alice:"
                print "UNSET (\"A\")"
                print "END INSTANCE"
                print "INTERSEND (\"hello\", \"Bob\")"
                print "CLEAR_ID (ch" c1 ")"
                print "TRACE_ON"
                print "END SCENARIO"
            }
            print "END SCENARIO"
        }
    }' > "$2"
}
