// rivoltra-script [SCRIPT]: drives the whole game headless from a script (standard input when no
// file is given) and prints what the script asks for.
#include <fstream>
#include <iostream>

#include "runner/script_runner.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: rivoltra-script [SCRIPT]\n";
    return 2;
  }
  if (argc == 2) {
    std::ifstream script(argv[1]);
    if (!script) {
      std::cerr << "rivoltra-script: cannot read " << argv[1] << '\n';
      return 2;
    }
    return rivoltra::RunScript(script, std::cout, std::cerr);
  }
  return rivoltra::RunScript(std::cin, std::cout, std::cerr);
}
