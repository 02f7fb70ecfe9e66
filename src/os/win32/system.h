// The Win32 implementations of the OS interfaces.
#pragma once
#include <memory>

#include "os/registry.h"
#include "os/volumes.h"

namespace os::win32 {

std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Volumes> MakeVolumes();

}  // namespace os::win32
