#pragma once

#include <functional>
#include <memory>

class DevicePlatform;

using DevicePlatformFactory = std::function<std::unique_ptr<DevicePlatform>()>;

// Builds the application, installs the translation, takes the single-instance lock and
// runs the main window over the device platform that makePlatform builds. Returns the
// process exit code.
int RunApplication(int argc, char **argv, const DevicePlatformFactory &makePlatform);
