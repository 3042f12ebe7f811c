// The website address of the status panel as a keyboard user and a screen
// reader meet it: a static that looks like a link and acts like one.
#pragma once

#include <windows.h>

// Makes a Tab-stop SS_NOTIFY static a link: Space or Enter while it has the
// focus sends its parent the click's command (STN_CLICKED), a focus rectangle
// marks it, and accessibility tools are told it is a link. Null is ignored.
void makeKeyboardLink(HWND link);
