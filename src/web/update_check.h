// The start-up version check and the "检测更新" command.
#pragma once

#include "app/context.h"

namespace plendrik::web {

// Starts UpdateCheck on a new thread and returns at once.
void startUpdateCheck(app::Context& ctx);

} // namespace plendrik::web
