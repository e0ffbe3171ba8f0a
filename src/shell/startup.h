#pragma once
// The program's life: reading the configuration, building the main frame, loading the file named
// on the command line, and the event loop.
// The whole program: returns the exit status.
int tslMain(int argc, char **argv);

// Everything after reading the configuration and initialising Qt, up to the event loop: the
// shared state's starting values, the main frame, and the command-line file (null for none).
// Returns false when the X font "fixed" is missing (the message is printed).
bool buildMainWindow(const char *fileArgument);

// Tests only: destroys the main frame and clears its handles so that it can be built again.
void destroyMainWindow();

// Loads the file named on the command line (step after the frame is built).
void openCommandLineFile(const char *argument);
