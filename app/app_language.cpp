// Relabelling the main window for a language, and the detail mode choice.
#include "app/app.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <algorithm>
#include <string>

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

    // None of the three mode names holds a character the menu would read as
    // structure ('/', '&', '_', '\\'), so one joined add is safe.
    const int mode = detailChoice->value();
    detailChoice->clear();
    detailChoice->add((std::string(uiText(txtOverview)) + "|" + uiText(txtNormal) + "|" +
                       uiText(txtDetailed))
                          .c_str());
    detailChoice->value(std::clamp(mode, 0, 2));

    refreshFileSystems();
    updateStatus();
    map->resetCache();
    map->redraw();
    statusBar->redraw();
    redraw();
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
