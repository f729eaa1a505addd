// The system's video input devices through DirectShow's system device enumerator.
#pragma once

#include <dshow.h>

#include <string>
#include <vector>

#include "core/camera_system.h"

namespace camprobe::win32 {

// Lists the devices (COM must be initialised on this thread). False when the enumerator
// cannot be created; a category with nothing registered is an empty list.
bool ListVideoInputs(std::vector<CameraDevice>* devices);

// Binds the device whose path is `path` as a filter; null when no such device is listed.
IBaseFilter* BindVideoInput(const std::wstring& path, HRESULT* result);

}  // namespace camprobe::win32
