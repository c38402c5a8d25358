// Program entry: see app/startup.h.
#include "app/startup.h"

int main(int argc, char** argv) {
    return fan::runProgram(argc, argv);
}
