// The settings window: its controls, their colours and texts, and the gear,
// Defaults and OK actions.
#include "app/settings_window.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "app/choice_items.h"
#include "texts/ui_texts.h"
#include "ui/check_box.h"
#include "ui/emboss_panel.h"
#include "ui/palette.h"
#include "ui/soft_button.h"
#include "ui/window_frame.h"

namespace fan {

namespace {

int clampMode(int mode) {
    return std::clamp(mode, 0, 2);
}

// The controls showing `settings`; the slider takes the value as it stands
// (37 stays 37) and only a drag snaps it to the step.
void showValues(SettingsWindow& window, const Settings& settings) {
    window.languageChoice->value(clampMode(settings.languageMode));
    window.themeChoice->value(clampMode(settings.themeMode));
    window.startupDetailChoice->value(clampMode(settings.defaultDepth));
    window.rememberDetailCheck->value(settings.rememberDepth ? 1 : 0);
    window.livePreviewCheck->value(settings.livePreview ? 1 : 0);
    window.transparencySlider->value(std::clamp(settings.mapTransparency, 0, 100));
}

}  // namespace

SettingsWindow::SettingsWindow(App& owner) : Fl_Double_Window(590, 492, settingsText(stxtWindowTitle)), owner(owner) {
    panel = new EmbossPanel(16, 18, 558, 380, 15);
    languageChoice = new Fl_Choice(252, 48, 304, 32);
    themeChoice = new Fl_Choice(252, 100, 304, 32);
    startupDetailChoice = new Fl_Choice(252, 152, 304, 32);
    rememberDetailCheck = new CheckBox(30, 210, 526, 28);
    livePreviewCheck = new CheckBox(30, 248, 526, 28);
    transparencySlider = new Fl_Value_Slider(252, 300, 304, 30);
    transparencySlider->type(FL_HOR_NICE_SLIDER);
    transparencySlider->bounds(0, 100);
    transparencySlider->step(5);
    noteBox = new Fl_Box(30, 350, 526, 34);
    noteBox->box(FL_NO_BOX);
    noteBox->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    defaultsButton = new SoftButton(304, 426, 118, 36);
    defaultsButton->callback(onDefaults, this);
    okButton = new SoftButton(434, 426, 122, 36);
    okButton->callback(onOk, this);
    end();
    size_range(540, 470);
    callback(closeWindowCallback);
}

void SettingsWindow::applyTheme() {
    color(themeBackground);
    for (Fl_Choice* choice : {languageChoice, themeChoice, startupDetailChoice}) {
        choice->box(FL_BORDER_BOX);
        choice->color(themeControl);
        choice->labelcolor(themeText);
        choice->textcolor(themeText);
        choice->textsize(13);
        // As the slider's: at the toolkit's 14 the longest Russian label
        // ran past the panel's left edge.
        choice->labelsize(13);
    }
    for (Fl_Check_Button* check : {rememberDetailCheck, livePreviewCheck}) {
        check->color(themeBackground);
        check->selection_color(themeAccent);
        check->labelcolor(themeText);
        check->labelsize(13);
    }
    transparencySlider->color(themeControl);
    transparencySlider->selection_color(themeAccent);
    transparencySlider->labelcolor(themeText);
    transparencySlider->textcolor(themeText);
    transparencySlider->labelsize(13);
    noteBox->labelcolor(themeTextDim);
    defaultsButton->color(themeControl);
    defaultsButton->labelcolor(themeText);
    okButton->color(themeAccent);
    okButton->labelcolor(themeOnAccent);
    if (panel != nullptr) panel->redraw();
    redraw();
    if (shown()) applyWindowFrameTheme(this);
}

void SettingsWindow::applyLanguage() {
    copy_label(settingsText(stxtWindowTitle));
    relabelChoice(*languageChoice,
                  {settingsText(stxtLanguageAuto), settingsText(stxtRussian), settingsText(stxtEnglish)});
    relabelChoice(*themeChoice,
                  {settingsText(stxtThemeSystem), settingsText(stxtThemeLight), settingsText(stxtThemeDark)});
    relabelChoice(*startupDetailChoice, {uiText(txtOverview), uiText(txtNormal), uiText(txtDetailed)});
    languageChoice->copy_label(settingsText(stxtLanguageLabel));
    themeChoice->copy_label(settingsText(stxtThemeLabel));
    startupDetailChoice->copy_label(settingsText(stxtStartupDetailLabel));
    for (Fl_Choice* choice : {languageChoice, themeChoice, startupDetailChoice})
        choice->align(FL_ALIGN_LEFT);
    rememberDetailCheck->copy_label(settingsText(stxtRememberDetail));
    livePreviewCheck->copy_label(settingsText(stxtLivePreview));
    transparencySlider->copy_label(settingsText(stxtTransparencyLabel));
    transparencySlider->align(FL_ALIGN_LEFT);
    noteBox->copy_label(settingsText(stxtStorageNote));
    okButton->copy_label(settingsText(stxtOk));
    defaultsButton->copy_label(settingsText(stxtDefaults));
    redraw();
}

void SettingsWindow::loadValues() {
    showValues(*this, owner.settings);
}

void SettingsWindow::onDefaults(Fl_Widget*, void* data) {
    showValues(*static_cast<SettingsWindow*>(data), Settings{});
}

void SettingsWindow::onOk(Fl_Widget*, void* data) {
    SettingsWindow& window = *static_cast<SettingsWindow*>(data);
    Settings edited = window.owner.settings;
    edited.languageMode = clampMode(window.languageChoice->value());
    edited.themeMode = clampMode(window.themeChoice->value());
    edited.defaultDepth = clampMode(window.startupDetailChoice->value());
    edited.rememberDepth = window.rememberDetailCheck->value() != 0;
    edited.livePreview = window.livePreviewCheck->value() != 0;
    // std::lround takes halves away from zero; the slider never leaves 0..100
    // but a stored value may have put it anywhere.
    edited.mapTransparency =
        static_cast<int32_t>(std::clamp(std::lround(window.transparencySlider->value()), 0L, 100L));
    window.owner.applySettings(edited);
    window.hide();
}

void App::showSettings(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    if (app.settingsWindow == nullptr) {
        // A window built while another group is open would become its child.
        Fl_Group::current(nullptr);
        app.settingsWindow = new SettingsWindow(app);
        app.settingsWindow->applyTheme();
    }
    // Values edited before and not confirmed give way to the stored ones.
    app.settingsWindow->applyLanguage();
    app.settingsWindow->loadValues();
    app.settingsWindow->show();
    applyWindowFrameTheme(app.settingsWindow);
}

}  // namespace fan
