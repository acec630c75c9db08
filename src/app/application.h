// Wires the window events to the program's handlers.
#pragma once

#include "app/context.h"
#include "ui/ui_event.h"

namespace plendrik::app {

class Application final : public ui::UiEventSink {
public:
    explicit Application(Context& ctx) : m_ctx(ctx) {}
    void handle(const ui::UiEvent& event) override;

private:
    Context& m_ctx;
};

} // namespace plendrik::app
