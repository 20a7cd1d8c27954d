#include "app/GameFlow.h"

void RunGame()
{
    // The game flow is not built yet: start-up shows its black frame and the
    // program ends.
}
