// Start with the user's session: one string value under the current user's
// Run key, whose command line carries the startup switch.
#pragma once

void setAutostart(bool enabled);
bool isAutostartEnabled();
