// Process entry of the game. The rendering device does not exist yet, so the
// game only reports that and exits; the window and engine start-up follow.
#include <cstdio>

int main(int argc, char **argv)
{
    (void)argc;
    (void)argv;
    std::printf("game: built; there is no rendering device yet, so there is nothing to show.\n");
    return 0;
}
