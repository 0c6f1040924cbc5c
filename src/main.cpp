// zerizevar: the script compiler. All the work is the driver's.
#include "common/heap.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
    zv::prepare_heap();
    return zv::runCompiler(argc, argv);
}
