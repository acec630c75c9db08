// Narrowing the resource list to the resources whose names begin with the search box's keyword.
#pragma once

#include "app/context.h"

namespace plendrik::catalogue {

// User-interface thread. Keeps the matching rows, whole and in order, and writes them as lines
// "cell0|cell1|cell2|cell3" CR LF into the hidden buffer 编辑框2. An empty keyword keeps every
// row. An empty list or no match says so and changes nothing.
void SearchResources(app::Context& ctx);

} // namespace plendrik::catalogue
