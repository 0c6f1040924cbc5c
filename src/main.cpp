// zerizevar: the script compiler. All the work is the driver's.
#include "driver/driver.h"

int main(int argc, char** argv) { return zv::runCompiler(argc, argv); }
