#pragma once

// The pages of the main window, by the number showPage takes.
namespace PageId {
constexpr int ModuleSelection = 4097;
constexpr int Test = 4098;
constexpr int Mapping = 4099;
constexpr int Turbo = 4100;
constexpr int Stick = 4101;
constexpr int Trigger = 4102;
constexpr int Vibration = 4103;
constexpr int Devices = 4104;
constexpr int Calibration = 4105;
constexpr int Profiles = 4106;
constexpr int Lighting = 4107;
constexpr int AppUpdate = 4108;
constexpr int Agreement = 4109;
} // namespace PageId
