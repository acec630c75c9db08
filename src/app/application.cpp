#include "app/application.h"

#include "app/module_events.h"

namespace plendrik::app {

void Application::handle(const ui::UiEvent& event) {
    using Handler = bool (*)(Context&, const ui::UiEvent&);
    static constexpr Handler kHandlers[] = {
        handleShellEvent,           handleMainCommandEvent,        catalogue::handleCatalogueEvent,
        downloads::handleRunnerEvent, downloads::handleDownloadPageEvent, video::handleVideoEvent,
        web::handleWebEvent,
    };
    for (Handler handler : kHandlers)
        if (handler(m_ctx, event))
            return;
}

} // namespace plendrik::app
