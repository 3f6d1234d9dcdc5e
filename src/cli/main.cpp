#include "cli/Tool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return kw::RunTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
