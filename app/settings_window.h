// The settings window behind the gear: the user's preferences, edited in
// place and applied only by OK.
#pragma once

#include <FL/Fl_Double_Window.H>

class Fl_Box;
class Fl_Check_Button;
class Fl_Choice;
class Fl_Value_Slider;
class Fl_Widget;

namespace fan {

class App;
class EmbossPanel;
class SoftButton;

// Built by App::showSettings on first use, hidden (never destroyed) by OK,
// its close box and Escape, and deleted by the App's destructor. It changes
// nothing of the App's until OK, which hands the edited record to
// App::applySettings. Everything runs on the GUI thread; the window owns its
// children through the toolkit's group, `owner` is not owned.
class SettingsWindow : public Fl_Double_Window {
public:
    explicit SettingsWindow(App& owner);
    ~SettingsWindow() override = default;

    // Colours of the stock children from the current palette; the panel and
    // the buttons read it themselves when they draw.
    void applyTheme();
    // Title, labels and choice items in the current language; each choice
    // keeps its selected index.
    void applyLanguage();
    // The controls from the owner's stored settings, out-of-range values
    // shown as the nearest choice or slider end.
    void loadValues();

    // Callbacks; user data is the window.
    static void onDefaults(Fl_Widget*, void* window);
    static void onOk(Fl_Widget*, void* window);

    App& owner;
    EmbossPanel* panel = nullptr;
    Fl_Choice* languageChoice = nullptr;
    Fl_Choice* themeChoice = nullptr;
    Fl_Choice* startupDetailChoice = nullptr;
    Fl_Check_Button* rememberDetailCheck = nullptr;
    Fl_Check_Button* livePreviewCheck = nullptr;
    Fl_Value_Slider* transparencySlider = nullptr;
    Fl_Box* noteBox = nullptr;
    SoftButton* okButton = nullptr;
    SoftButton* defaultsButton = nullptr;
};

}  // namespace fan
