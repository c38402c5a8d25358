// The language switch: every window relabelled at once, the two flags, and
// the detail mode choice.
#include "app/app.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <algorithm>

#include "app/analysis_window.h"
#include "app/choice_items.h"
#include "app/help_window.h"
#include "app/settings_window.h"
#include "texts/ui_texts.h"
#include "ui/flag_button.h"
#include "ui/icon_button.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"

namespace fan {

void App::setLanguage(int language) {
    uiLanguage = language == 1 ? 1 : 0;

    russianFlagButton->selected = uiLanguage == 0;
    englishFlagButton->selected = uiLanguage == 1;
    russianFlagButton->redraw();
    englishFlagButton->redraw();

    russianFlagButton->copy_tooltip(settingsText(stxtRussian));
    englishFlagButton->copy_tooltip(settingsText(stxtEnglish));
    settingsButton->copy_tooltip(settingsText(stxtSettingsTooltip));
    emptyTrashButton->copy_tooltip(settingsText(stxtEmptyTrashTooltip));
    openTrashButton->copy_tooltip(settingsText(stxtOpenTrashTooltip));

    openFolderButton->copy_label(uiText(txtOpenFolder));
    scanButton->copy_label(uiText(txtScan));
    cancelButton->copy_label(uiText(txtCancel));
    analysisButton->copy_label(uiText(txtAnalysis));
    helpButton->copy_label(uiText(txtHelp));

    backButton->copy_tooltip(uiText(txtBackTooltip));
    upButton->copy_tooltip(uiText(txtUpTooltip));
    analysisButton->copy_tooltip(uiText(txtAnalysisTooltip));
    helpButton->copy_tooltip(uiText(txtHelpTooltip));
    fileSystemsChoice->copy_tooltip(uiText(txtFileSystemsTooltip));
    detailChoice->copy_tooltip(uiText(txtDetailTooltip));

    relabelChoice(*detailChoice, {uiText(txtOverview), uiText(txtNormal), uiText(txtDetailed)});

    refreshFileSystems();
    const bool helpWasShowing = dropHelpWindow();
    if (analysisWindow != nullptr) analysisWindow->applyLanguage();
    if (settingsWindow != nullptr) settingsWindow->applyLanguage();
    updateStatus();
    map->resetCache();
    map->redraw();
    statusBar->redraw();
    redraw();
    if (helpWasShowing) showHelp(nullptr, this);
}

bool App::dropHelpWindow() {
    if (helpWindow == nullptr) return false;
    const bool showing = helpWindow->visible();
    helpWindow->hide();
    delete helpWindow;
    helpWindow = nullptr;
    return showing;
}

void App::chooseLanguageByFlag(int languageMode) {
    settings.languageMode = languageMode;
    saveSettings(settings);
    // An open settings window shows the new choice, so that its OK keeps it
    // rather than switching back.
    if (settingsWindow != nullptr) settingsWindow->languageChoice->value(languageMode);
    setLanguage(languageMode == 2 ? 1 : 0);
}

void App::onEnglishFlag(Fl_Widget*, void* data) {
    static_cast<App*>(data)->chooseLanguageByFlag(2);
}

void App::onRussianFlag(Fl_Widget*, void* data) {
    static_cast<App*>(data)->chooseLanguageByFlag(1);
}

void App::onDetailModeChanged(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    const int mode = std::clamp(app.detailChoice->value(), 0, 2);
    app.settings.lastDepth = mode;
    if (app.settings.rememberDepth) app.settings.defaultDepth = mode;
    saveSettings(app.settings);
    app.map->resetCache();
    app.map->redraw();
}

}  // namespace fan
