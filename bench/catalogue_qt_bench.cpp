// A 100,000-line catalogue loaded the program's own way on the real binding: served on loopback,
// fetched with libcurl on the loader's thread, parsed there, its batches inserted into the
// resource list's model while the main window shows it. Figures: from the body received to the
// last row painted; the longest gap of a 5 ms timer on the user-interface thread meanwhile; the
// resident memory the rows add. Reference: the same decoded rows put into the model in one insert.
#include "app/application.h"
#include "app/startup.h"
#include "catalogue/category.h"
#include "catalogue/loader.h"
#include "common/gbk.h"
#include "forwarding_ui.h"
#include "sample_server.h"
#include "ui/qt/list_model.h"
#include "ui/qt/qt_ui.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace plendrik;
using Clock = std::chrono::steady_clock;
using ui::main_window::ResourceList;

int g_lines = 100000;
int g_repeats = 5;

// VmRSS, or one of its parts ("RssAnon:", "RssFile:").
double residentMegabytes(const std::string& field = "VmRSS:") {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::strtod(line.c_str() + field.size(), nullptr) / 1024.0; // kB
    return 0;
}

std::string catalogueBytes(int lines) {
    std::string utf8;
    char line[256];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(line, sizeof line, "Vantoro例程%06d.zip|%d|2014-05-%02d|官方例程，适合初学者%d\r\n", i,
                      100 + i % 9000, 1 + i % 28, i % 97);
        utf8 += line;
    }
    return gbk::fromUtf8(utf8);
}

// The real fetch, with the moment its body arrived.
class TimedFetchUi final : public bench::ForwardingUi {
public:
    using ForwardingUi::ForwardingUi;
    std::string httpGet(std::string_view address) override {
        std::string body = ForwardingUi::httpGet(address);
        m_bodyAt.store(Clock::now().time_since_epoch().count());
        return body;
    }
    Clock::time_point bodyAt() const { return Clock::time_point(Clock::duration(m_bodyAt.load())); }
    void reset() { m_bodyAt.store(0); }

private:
    std::atomic<Clock::rep> m_bodyAt{0};
};

// Records the paints of a widget.
class PaintWatch final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            lastPaint = Clock::now();
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
    Clock::time_point lastPaint;
    int paints = 0;
};

// A 5 ms timer on the user-interface thread: the largest gap between its ticks is the longest
// time the window could not answer.
class StallProbe final {
public:
    StallProbe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start() {
        m_longest = {};
        m_last = Clock::now();
        m_timer.start();
    }
    double stopMs() {
        m_timer.stop();
        m_longest = std::max(m_longest, Clock::now() - m_last);
        return std::chrono::duration<double, std::milli>(m_longest).count();
    }

private:
    QTimer m_timer;
    Clock::time_point m_last;
    Clock::duration m_longest{};
};

// Bytes in use in every malloc arena: what the heap holds for live objects, freed memory aside.
double heapInUseMegabytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1 << 20);
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct World {
    sample::SampleServer server;
    app::Config config = app::Config::compiledIn();
    QTemporaryDir folder;
    app::AppState state;
    std::unique_ptr<ui::qt::QtUi> qt;
    std::unique_ptr<TimedFetchUi> ui;
    std::unique_ptr<app::Context> ctx;
    std::unique_ptr<app::Application> events;
    PaintWatch paints;
    QAbstractItemView* view = nullptr;
    ui::qt::ListModel* model = nullptr;

    World() {
        if (!server.start(0))
            std::abort();
        config.resourceServerBase = server.resourceServerBase();
        qt = std::make_unique<ui::qt::QtUi>(config, ui::qt::QtUiOptions{false});
        ui = std::make_unique<TimedFetchUi>(*qt);
        ctx = std::make_unique<app::Context>(app::Context{
            state,
            *ui,
            config,
            {(folder.path() + "/情况.ini").toStdString(), (folder.path() + "/Plendrik资源").toStdString()}});
        events = std::make_unique<app::Application>(*ctx);
        qt->setSink(events.get());
        qt->loadWindow(ui::WindowId::Main);
        view = qobject_cast<QAbstractItemView*>(qt->widget(ResourceList));
        model = qt->listModel(ResourceList);
        if (!view || !model)
            std::abort();
        view->viewport()->installEventFilter(&paints);
        settle(300);
    }
    ~World() {
        qt->setSink(nullptr);
        qt->shutDown();
    }

    static void settle(int milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // Runs the event loop until the list holds `rows` rows and the view painted after that.
    // Returns the moment of that paint.
    Clock::time_point runUntilShown(int rows) {
        QEventLoop loop;
        bool full = false;
        int paintsAtFull = 0;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!full && model->rowCount() >= rows) {
                full = true;
                paintsAtFull = paints.paints;
                view->viewport()->update(); // the paint to wait for, if the insert asked for none
            }
            if (full && paints.paints > paintsAtFull)
                loop.quit();
        });
        QTimer::singleShot(60000, &loop, [&] {
            std::fprintf(stderr, "timed out with %d rows\n", model->rowCount());
            std::abort();
        });
        poll.start();
        loop.exec();
        return paints.lastPaint;
    }
};

World& world() {
    static World* w = new World; // lives to the end of the process, as the program's window does
    return *w;
}

// Loads through the program; fills the body→shown time and the longest stall.
void loadOnce(World& w, double& loadMs, double& stallMs) {
    StallProbe probe;
    w.ui->reset();
    probe.start();
    catalogue::StartCatalogueLoad(*w.ctx, *catalogue::categoryForTreeIndex(5));
    const Clock::time_point shown = w.runUntilShown(g_lines);
    stallMs = probe.stopMs();
    loadMs = ms(shown - w.ui->bodyAt());
}

void BM_QtCatalogueLoad(benchmark::State& state) {
    World& w = world();
    const std::string bytes = catalogueBytes(g_lines);
    w.server.addFile("/files/guanfanglicheng/123.txt", bytes);
    std::vector<double> loads, stalls;
    double rssGrowth = 0, heapGrowth = 0, anonGrowth = 0, fileGrowth = 0;
    for (auto _ : state) {
        // The first load alone gives the memory figure: later ones reuse what it freed.
        const double before = residentMegabytes();
        const double heapBefore = heapInUseMegabytes();
        const double anonBefore = residentMegabytes("RssAnon:");
        const double fileBefore = residentMegabytes("RssFile:");
        for (int i = 0; i < g_repeats; ++i) {
            double loadMs = 0, stallMs = 0;
            loadOnce(w, loadMs, stallMs);
            if (i == 0) {
                World::settle(100); // the loader thread's last steps after its last batch
                rssGrowth = residentMegabytes() - before;
                heapGrowth = heapInUseMegabytes() - heapBefore;
                anonGrowth = residentMegabytes("RssAnon:") - anonBefore;
                fileGrowth = residentMegabytes("RssFile:") - fileBefore;
            }
            if (w.model->rowCount() != g_lines)
                state.SkipWithError("rows missing");
            loads.push_back(loadMs);
            stalls.push_back(stallMs);
            std::fprintf(stderr, "load %d: body to last row painted %.1f ms, longest stall %.1f ms\n", i + 1,
                         loadMs, stallMs);
        }
        state.SetIterationTime(median(loads) / 1000.0);
    }
    state.counters["load_ms"] = median(loads);
    state.counters["load_max_ms"] = *std::max_element(loads.begin(), loads.end());
    state.counters["stall_max_ms"] = *std::max_element(stalls.begin(), stalls.end());
    // The first load also draws the list's glyphs for the first time.
    state.counters["stall_first_ms"] = stalls.front();
    state.counters["stall_later_max_ms"] =
        stalls.size() > 1 ? *std::max_element(stalls.begin() + 1, stalls.end()) : stalls.front();
    state.counters["load_first_ms"] = loads.front();
    state.counters["rss_growth_mb"] = rssGrowth;
    state.counters["heap_in_use_growth_mb"] = heapGrowth;
    state.counters["rss_anon_growth_mb"] = anonGrowth;
    state.counters["rss_file_growth_mb"] = fileGrowth;
    state.counters["rows"] = g_lines;
    state.counters["batch_rows"] = static_cast<double>(catalogue::kCatalogueBatchRows);
}
BENCHMARK(BM_QtCatalogueLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same decoded rows in one model insert on this thread, to the paint after it.
void BM_QtDirectInsert(benchmark::State& state) {
    World& w = world();
    const std::vector<ui::Row> rows = catalogue::parseCatalogue(catalogueBytes(g_lines));
    std::vector<double> inserts, stalls;
    for (auto _ : state) {
        for (int i = 0; i < g_repeats; ++i) {
            w.model->clear();
            World::settle(50);
            std::vector<ui::Row> copy = rows;
            StallProbe probe;
            probe.start();
            const auto begin = Clock::now();
            w.model->appendRows(std::move(copy));
            const Clock::time_point shown = w.runUntilShown(g_lines);
            stalls.push_back(probe.stopMs());
            inserts.push_back(ms(shown - begin));
        }
        state.SetIterationTime(median(inserts) / 1000.0);
    }
    state.counters["insert_ms"] = median(inserts);
    state.counters["stall_max_ms"] = *std::max_element(stalls.begin(), stalls.end());
}
BENCHMARK(BM_QtDirectInsert)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

// Extra flags, before Google Benchmark's own: --lines=N (100000), --repeats=N (5).
int main(int argc, char** argv) {
    plendrik::bench::runQtBenchmarks(
        argc, argv,
        {{"--lines=", [](const char* v) { g_lines = std::atoi(v); }},
         {"--repeats=", [](const char* v) { g_repeats = std::max(1, std::atoi(v)); }}});
}
