// Entry point: the command line is ignored; the shell drives the setup wizard.
#include <SDL.h>

#include "app/shell.h"
#include "app/wizard.h"

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    // Outlives run_shell, so the setup state (and any open stream) is
    // destroyed only after SDL has shut down.
    SetupWizard wizard;
    return run_shell(wizard);
}
