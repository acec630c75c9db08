// The program: wires the logic, the engine and the Qt binding, then runs the event loop.
#include "app/application.h"
#include "app/startup.h"
#include "common/paths.h"
#include "downloads/engine/curl/curl_engine.h"
#include "downloads/paths.h"
#include "ui/qt/qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <csignal>
#include <cstdlib>
#include <curl/curl.h>
#include <unistd.h>

namespace {

using namespace plendrik;

std::string iniFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = base + QStringLiteral("/Plendrik");
    QDir().mkpath(folder);
    return (folder + QStringLiteral("/情况.ini")).toStdString();
}

// Beside the program when its folder can be written, else in the user's Downloads folder.
std::string downloadFolderPath(const std::string& programFolder) {
    const QString beside = QString::fromStdString(programFolder);
    QTemporaryFile probe(beside + QStringLiteral("/.plendrik-write-test-XXXXXX"));
    if (probe.open())
        return joinPath(programFolder, downloads::kDownloadFolderName);
    return joinPath(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation).toStdString(),
                    downloads::kDownloadFolderName);
}

} // namespace

int main(int argc, char* argv[]) {
    // The browser engine refuses to start its sandbox as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // The browser engine, loaded after the first paint, shares the application's GL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plendrik"));

    app::AppState state;
    app::startEngine(state, downloads::createCurlEngine());

    const app::Config config = app::Config::compiledIn();
    ui::qt::QtUi ui(config);
    ui.setExitCleanup([&state] { app::exitCleanup(state); });

    app::Context context{state, ui, config, {iniFilePath(), downloadFolderPath(ui.programFolder())}};
    app::Application events(context);
    ui.setSink(&events);
    ui.loadWindow(ui::WindowId::Main);

    QApplication::exec();
    ui.shutDown();
    return 0;
}
