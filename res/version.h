// The one place the program's version lives: the version block of the
// resources and every text of the code that shows or sends it use these.
#pragma once

#define LUMAROTH_VERSION_MAJOR 2
#define LUMAROTH_VERSION_MINOR 0
#define LUMAROTH_VERSION_PATCH 1
#define LUMAROTH_VERSION_BUILD 0

#define LUMAROTH_STRINGIFY_(x) #x
#define LUMAROTH_STRINGIFY(x) LUMAROTH_STRINGIFY_(x)
#define LUMAROTH_WIDEN_(x) L##x
#define LUMAROTH_WIDEN(x) LUMAROTH_WIDEN_(x)

// "2.0.1": what users see in titles, the About window and the user agent.
#define LUMAROTH_VERSION_TEXT                                                                                          \
    LUMAROTH_STRINGIFY(LUMAROTH_VERSION_MAJOR)                                                                         \
    "." LUMAROTH_STRINGIFY(LUMAROTH_VERSION_MINOR) "." LUMAROTH_STRINGIFY(LUMAROTH_VERSION_PATCH)

// "2.0.1.0": the file and product version of the version block.
#define LUMAROTH_VERSION_FULL_TEXT LUMAROTH_VERSION_TEXT "." LUMAROTH_STRINGIFY(LUMAROTH_VERSION_BUILD)

#define LUMAROTH_VERSION_WIDE LUMAROTH_WIDEN(LUMAROTH_VERSION_TEXT)
