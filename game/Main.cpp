// The program's entry point.
#include <cstdio>

int main()
{
    std::printf("Orlavintide 1.01 - a tile-matching puzzle game on the Kavo framework.\n"
                "The game screens are not built yet; run 'make test' to exercise what exists.\n");
    return 0;
}
