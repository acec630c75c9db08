#include "app/context.h"

#include "plendrik/bases.h"

namespace plendrik::app {

Config Config::compiledIn() {
    return Config{bases::kResourceServerBase, bases::kForumBase,         bases::kSecondForumBase,
                  bases::kTaskSiteBase,       bases::kCoursePageAddress, bases::kSupportContactNumber};
}

} // namespace plendrik::app
