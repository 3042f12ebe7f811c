// Registers autostart from wherever this program was copied to, so that a test
// can check the command line stored for that path. Exit code 0 when the
// registration exists afterwards, 1 when it does not.
#include "store/autostart.h"

int main()
{
    setAutostart(true);
    return isAutostartEnabled() ? 0 : 1;
}
