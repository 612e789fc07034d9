#pragma once
// The shape the runtime's event handlers rely on, checked once before any
// handler reads a field: a message that lacks an object the handlers index
// into is dropped instead of being read out of bounds.

#include <string>

#include "runtime/DevToolsConnection.h"

namespace vxrt {

bool EventShapeIsValid(const std::string& method, const Json& params);

}  // namespace vxrt
