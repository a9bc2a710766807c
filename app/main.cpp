#include <cstdio>

int main() {
    std::puts("Tambrel builds; its windows arrive with the next steps.");
    return 0;
}
