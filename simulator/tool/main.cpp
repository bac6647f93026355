#include <iostream>
#include <string>
#include <vector>

#include "simulator/tool/tool.h"

int main(int argc, char** argv) {
  return sim::RunTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
