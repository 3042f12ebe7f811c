// Keeps the status panel's texts current as the update cycle moves on.
#pragma once

// Re-texts the status panel after the update cycle changed state; a no-op
// while the login panel is shown.
void refreshStatusPanel();
// Re-texts the countdown and the age of the last IP change; called once a
// second by the countdown timer.
void tickStatusPanel();
