// Registers autostart from wherever this program was copied to, so that a test
// can check the command line stored for that path. Exit code 0 when the
// registration succeeded and exists afterwards, 1 otherwise.
#include "store/autostart.h"

int main()
{
    return setAutostart(true) == ERROR_SUCCESS && isAutostartEnabled() ? 0 : 1;
}
