// The browser engine in a module of its own: it costs ~27 MB and much of the start-up time just by
// being linked, so the binding loads it only when the first browser view is made.
#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget* plendrikCreateBrowserView(QWidget* parent) {
    return new QWebEngineView(parent);
}
