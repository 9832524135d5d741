// stub generator: replaced by the real PO compiler
#include <cstdio>
int main(int argc, char** argv) { if (argc < 2) return 1; FILE* f = std::fopen(argv[1], "w"); std::fputs("const char* const MESSAGES[275*14] = {};\n", f); std::fclose(f); return 0; }
