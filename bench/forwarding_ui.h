// A facade that hands every call to another one unchanged. Benchmarks derive from it to time one
// operation (the fetch, for instance) while the program runs on the real binding.
#pragma once

#include "ui/ui_facade.h"

namespace plendrik::bench {

class ForwardingUi : public ui::UiFacade {
public:
    explicit ForwardingUi(ui::UiFacade& inner) : m_inner(inner) {}

    void loadWindow(ui::WindowId w) override { m_inner.loadWindow(w); }
    bool isWindowCreated(ui::WindowId w) override { return m_inner.isWindowCreated(w); }
    void activateWindow(ui::WindowId w) override { m_inner.activateWindow(w); }
    void destroyWindow(ui::WindowId w) override { m_inner.destroyWindow(w); }
    void focusWindow(ui::WindowId w) override { m_inner.focusWindow(w); }
    int windowState(ui::WindowId w) override { return m_inner.windowState(w); }
    void setWindowState(ui::WindowId w, int state) override { m_inner.setWindowState(w, state); }
    void setWindowVisible(ui::WindowId w, bool visible) override { m_inner.setWindowVisible(w, visible); }
    bool isWindowVisible(ui::WindowId w) override { return m_inner.isWindowVisible(w); }
    int outerWidth(ui::WindowId w) override { return m_inner.outerWidth(w); }
    int outerHeight(ui::WindowId w) override { return m_inner.outerHeight(w); }
    int screenWidth() override { return m_inner.screenWidth(); }

    void setControlVisible(const ui::Control& c, bool visible) override {
        m_inner.setControlVisible(c, visible);
    }
    ui::Rect controlRect(const ui::Control& c) override { return m_inner.controlRect(c); }
    void setControlLeft(const ui::Control& c, int v) override { m_inner.setControlLeft(c, v); }
    void setControlTop(const ui::Control& c, int v) override { m_inner.setControlTop(c, v); }
    void setControlWidth(const ui::Control& c, int v) override { m_inner.setControlWidth(c, v); }
    void setControlHeight(const ui::Control& c, int v) override { m_inner.setControlHeight(c, v); }
    void moveControl(const ui::Control& c, const ui::Rect& r) override { m_inner.moveControl(c, r); }
    std::string editText(const ui::Control& c) override { return m_inner.editText(c); }
    void setEditText(const ui::Control& c, std::string_view t) override { m_inner.setEditText(c, t); }
    void setCurrentPage(const ui::Control& c, int page) override { m_inner.setCurrentPage(c, page); }
    void setTimerPeriod(ui::Timer t, int ms) override { m_inner.setTimerPeriod(t, ms); }
    void setProgressMax(const ui::Control& c, int v) override { m_inner.setProgressMax(c, v); }
    void setProgressPosition(const ui::Control& c, int v) override { m_inner.setProgressPosition(c, v); }
    void setMenuItemDisabled(ui::MenuItem i, bool d) override { m_inner.setMenuItemDisabled(i, d); }
    void setBrowserAddress(const ui::Control& c, std::string_view a) override {
        m_inner.setBrowserAddress(c, a);
    }
    void checkToolbarButton(const ui::Control& c, int b) override { m_inner.checkToolbarButton(c, b); }

    int appendRow(const ui::Control& l) override { return m_inner.appendRow(l); }
    void appendRows(const ui::Control& l, std::vector<ui::Row> rows) override {
        m_inner.appendRows(l, std::move(rows));
    }
    void setCell(const ui::Control& l, int r, int c, std::string_view t) override {
        m_inner.setCell(l, r, c, t);
    }
    std::string cellText(const ui::Control& l, int r, int c) override { return m_inner.cellText(l, r, c); }
    void deleteRow(const ui::Control& l, int r) override { m_inner.deleteRow(l, r); }
    void deleteAllRows(const ui::Control& l) override { m_inner.deleteAllRows(l); }
    int rowCount(const ui::Control& l) override { return m_inner.rowCount(l); }
    int selectedRow(const ui::Control& l) override { return m_inner.selectedRow(l); }
    int findRow(const ui::Control& l, std::string_view t, int start, bool exact) override {
        return m_inner.findRow(l, t, start, exact);
    }
    int selectedTreeItem(const ui::Control& t) override { return m_inner.selectedTreeItem(t); }

    void attachHoverTip(const ui::Control& b, const ui::Control& c, std::string_view t) override {
        m_inner.attachHoverTip(b, c, t);
    }
    void showBalloonAt(const ui::Control& b, int x, int y, std::string_view t) override {
        m_inner.showBalloonAt(b, x, y, t);
    }
    void setTrayIcon(ui::WindowId w, std::string_view icon, std::string_view tip) override {
        m_inner.setTrayIcon(w, icon, tip);
    }
    bool isTrayAvailable() override { return m_inner.isTrayAvailable(); }
    void popupMenu(ui::WindowId w, ui::Menu m) override { m_inner.popupMenu(w, m); }
    void popupTrayMenu(ui::WindowId w, ui::Menu m) override { m_inner.popupTrayMenu(w, m); }

    int messageBox(std::string_view text, int buttons, std::optional<std::string_view> caption) override {
        return m_inner.messageBox(text, buttons, caption);
    }
    void setClipboardText(std::string_view t) override { m_inner.setClipboardText(t); }
    void openAddress(std::string_view a) override { m_inner.openAddress(a); }
    void shellOpen(std::string_view p) override { m_inner.shellOpen(p); }
    void runProgram(std::string_view c) override { m_inner.runProgram(c); }
    bool fileExists(std::string_view p) override { return m_inner.fileExists(p); }
    void deleteFile(std::string_view p) override { m_inner.deleteFile(p); }
    void createFolder(std::string_view p) override { m_inner.createFolder(p); }
    std::string programFolder() override { return m_inner.programFolder(); }
    std::string readIni(std::string_view f, std::string_view s, std::string_view k) override {
        return m_inner.readIni(f, s, k);
    }
    void writeIni(std::string_view f, std::string_view s, std::string_view k, std::string_view t) override {
        m_inner.writeIni(f, s, k, t);
    }
    std::vector<std::string> readIniEntries(std::string_view f, const std::vector<IniKey>& keys) override {
        return m_inner.readIniEntries(f, keys);
    }
    bool writeIniEntries(std::string_view f, const std::vector<IniEntry>& entries) override {
        return m_inner.writeIniEntries(f, entries);
    }
    std::string httpGet(std::string_view a) override { return m_inner.httpGet(a); }
    void startThread(std::function<void()> p) override { m_inner.startThread(std::move(p)); }
    void post(std::function<void()> f) override { m_inner.post(std::move(f)); }
    void pumpEvents(int ms) override { m_inner.pumpEvents(ms); }
    void setExitCleanup(std::function<void()> c) override { m_inner.setExitCleanup(std::move(c)); }
    void endProgram(int code) override { m_inner.endProgram(code); }

private:
    ui::UiFacade& m_inner;
};

} // namespace plendrik::bench
