#include "web/update_check.h"

namespace plendrik::web {

// Placeholder until the update check lands: checks nothing.
void startUpdateCheck(app::Context&) {}

} // namespace plendrik::web
