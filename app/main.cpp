#include <cstdio>
int main() { std::puts("veyra: under construction"); return 0; }
