// The window settings the core needs before the window exists.
#pragma once

#include <string>

namespace media::screen {

// The caption recorded by SetWindowCaption (the default until then).
std::string Caption();

}  // namespace media::screen
