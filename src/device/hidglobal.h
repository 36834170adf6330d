#pragma once

#include <mutex>

// hidapi keeps global state (its error string, the udev context) that hid_init,
// hid_exit, hid_enumerate, hid_open, hid_open_path and hid_close all touch, so those
// calls must never overlap. Every such call in the application holds this lock.
std::unique_lock<std::mutex> lockHidGlobal();
