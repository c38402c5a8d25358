// The main window's construction, header, control states and shut-down.
#include "app/app.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "app/analysis_window.h"
#include "app/app_version.h"
#include "app/help_window.h"
#include "app/settings_window.h"
#include "texts/ui_texts.h"
#include "ui/draw_helpers.h"
#include "ui/flag_button.h"
#include "ui/icon_button.h"
#include "ui/palette.h"
#include "ui/path_input.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"

namespace fan {

namespace {

int clampDetail(int mode) {
    return std::clamp(mode, 0, 2);
}

void setActive(Fl_Widget* widget, bool active) {
    if (active)
        widget->activate();
    else
        widget->deactivate();
}

}  // namespace

App::App() : Fl_Double_Window(1120, 780, kWindowTitle) {
    // Every window of the program, dialogs and menus included, carries the
    // class the desktop entry names, so a dock can match them to it.
    Fl_Window::default_xclass("fanorbiter");
    settings = loadSettings();
    applyPalette(resolveDarkTheme(settings));
    uiLanguage = resolveLanguage(settings);
    size_range(900, 640);

    // Creation order is the group's order: drawing order and the order in
    // which the toolkit offers events. Places come from layoutControls.
    openFolderButton = new SoftButton(0, 0, 1, 1, uiText(txtOpenFolder));
    backButton = new SoftButton(0, 0, 1, 1, "\u2039");
    upButton = new SoftButton(0, 0, 1, 1, "\u2191");
    pathInput = new PathInput(0, 0, 1, 1);
    scanButton = new SoftButton(0, 0, 1, 1, uiText(txtScan));
    cancelButton = new SoftButton(0, 0, 1, 1, uiText(txtCancel));
    cancelButton->deactivate();
    fileSystemsChoice = new Fl_Choice(0, 0, 1, 1);
    detailChoice = new Fl_Choice(0, 0, 1, 1);
    analysisButton = new SoftButton(0, 0, 1, 1, uiText(txtAnalysis));
    helpButton = new SoftButton(0, 0, 1, 1, uiText(txtHelp));
    russianFlagButton = new FlagButton(0, 0, 1, 1, FlagRussian);
    englishFlagButton = new FlagButton(0, 0, 1, 1, FlagBritish);
    settingsButton = new IconButton(0, 0, 1, 1, Gear);
    map = new Map(0, 0, 1, 1, this);
    statusBar = new StatusBar(0, 0, 1, 1, &statusText);
    emptyTrashButton = new IconButton(0, 0, 1, 1, TrashCan);
    openTrashButton = new IconButton(0, 0, 1, 1, Broom);

    Fl_Widget* const labelledButtons[] = {openFolderButton, backButton,     upButton,   scanButton,
                                          cancelButton,     analysisButton, helpButton, settingsButton,
                                          emptyTrashButton, openTrashButton};
    for (Fl_Widget* button : labelledButtons)
        button->labelsize(14);
    pathInput->box(FL_BORDER_BOX);
    pathInput->textsize(14);
    fileSystemsChoice->box(FL_BORDER_BOX);
    fileSystemsChoice->textsize(13);
    detailChoice->box(FL_BORDER_BOX);
    detailChoice->textsize(13);
    colourControls();
    // Enter rescans the same text too, not only an edited one.
    pathInput->when(FL_WHEN_ENTER_KEY_ALWAYS);

    openFolderButton->callback(onOpenFolder, this);
    backButton->callback(onBack, this);
    upButton->callback(onUp, this);
    pathInput->callback(onScan, this);
    scanButton->callback(onScan, this);
    cancelButton->callback(onCancelScan, this);
    fileSystemsChoice->callback(onFileSystemChosen, this);
    detailChoice->callback(onDetailModeChanged, this);
    analysisButton->callback(onShowAnalysis, this);
    helpButton->callback(showHelp, this);
    russianFlagButton->callback(onRussianFlag, this);
    englishFlagButton->callback(onEnglishFlag, this);
    settingsButton->callback(showSettings, this);
    emptyTrashButton->callback(onEmptyTrash, this);
    openTrashButton->callback(onOpenTrash, this);

    end();
    resizable(map);
    callback(closeWindowCallback);
    layoutControls(w(), h());

    mountEntries = listMounts();
    refreshFileSystems();
    scanProgress.livePreview.store(settings.livePreview);
    setLanguage(uiLanguage);
    detailChoice->value(clampDetail(settings.defaultDepth));
    Fl::add_timeout(0.1, pollScan, this);
}

App::~App() {
    Fl::remove_timeout(pollScan, this);
    // Nothing the worker uses may go before it has seen the stop and ended.
    scanProgress.stop.store(true);
    if (worker.joinable()) worker.join();
    if (detailChoice != nullptr) {
        const int mode = clampDetail(detailChoice->value());
        settings.lastDepth = mode;
        if (settings.rememberDepth) settings.defaultDepth = mode;
    }
    saveSettings(settings);
    delete settingsWindow;
    delete analysisWindow;
    delete helpWindow;
}

void App::colourControls() {
    color(themeBackground);
    openFolderButton->color(themeAccent);
    openFolderButton->labelcolor(themeOnAccent);
    Fl_Widget* const plainButtons[] = {backButton, upButton,       scanButton,       cancelButton,   analysisButton,
                                       helpButton, settingsButton, emptyTrashButton, openTrashButton};
    for (Fl_Widget* button : plainButtons) {
        button->color(themeControl);
        button->labelcolor(themeText);
    }
    pathInput->color(themeControl);
    pathInput->textcolor(themeText);
    pathInput->cursor_color(themeAccent);
    for (Fl_Choice* choice : {fileSystemsChoice, detailChoice}) {
        choice->color(themeControl);
        choice->labelcolor(themeText);
        choice->textcolor(themeText);
    }
}

void App::resize(int x, int y, int w, int h) {
    Fl_Double_Window::resize(x, y, w, h);
    layoutControls(w, h);
}

void App::draw() {
    Fl_Double_Window::draw();
    const int width = w();

    fl_color(themeBorder);
    fl_line(0, 53, width, 53);

    fl_font(FL_HELVETICA_BOLD, 24);
    fl_color(themeText);
    fl_draw("fan", 24, 39);
    fl_color(themeAccent);
    fl_draw("Orbiter", 73, 39);

    drawTextLeft(uiText(txtSubtitle), 226, 16, 280, 32, 11, themeTextDim);
    drawTextAligned(kVersionText, width - 76, 16, 56, 32, 11, themeTextDim, FL_ALIGN_RIGHT);

    const int hintLeft = fileSystemsChoice->x() + fileSystemsChoice->w() + 18;
    const int hintWidth = detailChoice->x() - 18 - hintLeft;
    if (hintWidth >= 150)
        drawTextAligned(uiText(txtNavigationHint), hintLeft, 115, hintWidth, 30, 12, themeTextDim, FL_ALIGN_CENTER);
}

void App::updateControls() {
    const bool hasResult = result != nullptr;
    setActive(openFolderButton, !scanning);
    setActive(pathInput, !scanning);
    setActive(scanButton, !scanning);
    setActive(fileSystemsChoice, !scanning);
    setActive(cancelButton, scanning);
    setActive(emptyTrashButton, !scanning);
    setActive(backButton, (hasResult && !nodeHistory.empty()) || (!scanning && !rootHistory.empty()));
    setActive(upButton, hasResult && currentNode != 0);
    setActive(analysisButton, hasResult && !scanning);
}

int App::detailIndex() const {
    return detailChoice != nullptr ? detailChoice->value() : -1;
}

std::string App::pathFieldText() const {
    return pathInput != nullptr && pathInput->value() != nullptr ? std::string(pathInput->value()) : std::string();
}

void closeWindowCallback(Fl_Widget* window, void*) {
    window->hide();
}

}  // namespace fan
