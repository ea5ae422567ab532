#pragma once
// How long this process has been running, measured from the moment the system started
// it (not from main(), which comes after the program and its libraries were loaded).

// Milliseconds since the process started; falls back to the time since first called
// where /proc cannot tell.
double millisecondsSinceProcessStart();
