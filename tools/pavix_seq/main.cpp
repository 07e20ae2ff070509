// pavix-seq: see pavix_seq.h.
#include <iostream>
#include <string>
#include <vector>

#include "pavix_seq/pavix_seq.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return pavix::tool::RunPavixSeq(arguments, std::cout, std::cerr);
}
