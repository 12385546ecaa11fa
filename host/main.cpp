// icehost: the command-line host. All the work is in icehost::run; this passes the arguments on
// as UTF-8.
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

#if defined(_WIN32)
#include "utf8.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(icehost::wide_to_utf8(argv[i]));
  return icehost::run(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return icehost::run(args, std::cout, std::cerr);
}
#endif
