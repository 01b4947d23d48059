// Starts a desktop, prints the process ids of its server and window manager, and aborts.

#include "support/desktop/Desktop.h"

#include <cstdio>
#include <cstdlib>

int main()
{
    vorlix::test::Desktop desktop({.size = {320, 240}, .windowManager = true, .tray = false, .compositor = false});
    for (const pid_t pid : desktop.processIds())
        std::printf("%d\n", static_cast<int>(pid));
    std::fflush(stdout);
    std::abort();
}
