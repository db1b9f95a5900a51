// The floor of a program's start: a C++ hello-world linked statically, which loads no shared library.
#include <iostream>

int main() { std::cout << "hello, world\n"; }
