#include "ui/program_icon.h"

#include "res/resource.h"

ScopedIcon loadProgramIcon(HINSTANCE instance, int size)
{
    // The image of the icon group nearest to the size the display scale asks
    // for, not one scaled from the 32-pixel image.
    return ScopedIcon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_LUMAROTH), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

HICON ownedOrSharedFallback(const ScopedIcon& icon)
{
    return icon ? icon.get() : LoadIconW(nullptr, IDI_APPLICATION);
}
