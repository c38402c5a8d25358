#include <FL/Fl_Choice.H>

#include "app/analysis_window.h"
#include "app/app_version.h"
#include "app/help_window.h"
#include "app/settings_window.h"
#include "app_test_support.h"
#include "ui/flag_button.h"

namespace fan::testing {
namespace {

// Every text a user reads in `group`: title, labels, tooltips and menu items
// (of the file-systems menu only its header; the rest are mount points).
void collectTexts(const Fl_Group& group, const App& app, std::vector<std::string>& out) {
    for (int i = -1; i < group.children(); ++i) {
        const Fl_Widget* w = i < 0 ? &group : group.child(i);
        for (const char* text : {w->label(), w->tooltip()})
            if (text != nullptr) out.push_back(text);
        if (const auto* menu = dynamic_cast<const Fl_Menu_*>(w))
            for (int k = 0; k < (w == app.fileSystemsChoice ? 1 : menu->size() - 1); ++k)
                out.push_back(menu->text(k));
        if (const auto* inner = dynamic_cast<const Fl_Group*>(w); i >= 0 && inner) collectTexts(*inner, app, out);
    }
}

bool cyrillic(const std::string& s) {
    return s.find_first_of("\xD0\xD1") != s.npos;
}
bool latin(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](unsigned char c) { return std::isalpha(c); });
}

TEST(LanguageSwitch, EveryWindowFollowsTheFlagsAndKeepsItsChoices) {
    ShownApp app;
    App::showSettings(nullptr, app), App::showHelp(nullptr, app), app->showAnalysis();
    SettingsWindow& settings = *app->settingsWindow;
    app->detailChoice->value(2), settings.languageChoice->value(2), settings.startupDetailChoice->value(1),
        app->analysisWindow->modeChoice->value(1);
    for (const bool english : {true, false, true}) {
        FlagButton* flag = english ? app->englishFlagButton : app->russianFlagButton;
        click(flag);
        EXPECT_TRUE(loadSettings().languageMode == 2 - !english && flag->selected &&
                    !(english ? app->russianFlagButton : app->englishFlagButton)->selected);
        ASSERT_TRUE(app->helpWindow != nullptr && app->helpWindow->visible());
        std::vector<std::string> texts{app->statusText, app->helpWindow->html};
        for (const Fl_Group* window :
             {(Fl_Group*)app, (Fl_Group*)&settings, (Fl_Group*)app->helpWindow, (Fl_Group*)app->analysisWindow})
            collectTexts(*window, *app, texts);
        for (const std::string& text : texts)
            EXPECT_TRUE(!text.empty() &&
                        (english ? !cyrillic(text)
                                 : cyrillic(text) || !latin(text) || text == "English" || text == kWindowTitle))
                << text;
        EXPECT_EQ(app->analysisWindow->modeChoice->value() * 1000 + app->detailChoice->value() * 100 +
                      settings.languageChoice->value() * 10 + settings.startupDetailChoice->value(),
                  1221);
    }
    app->helpWindow->hide(), app->setLanguage(0);
    EXPECT_EQ(app->helpWindow, nullptr);
}

}  // namespace
}  // namespace fan::testing
