// sonavid: command-line front door to the engine (native).
#include <cstdio>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::fprintf(stderr, "usage: sonavid info FILE... | sonavid expand MACROTEXT... -- FILE...\n");
  return 2;
}
