#pragma once

// Builds the application, installs the translation, takes the single-instance lock and
// runs the main window. Returns the process exit code.
int RunApplication(int argc, char **argv);
