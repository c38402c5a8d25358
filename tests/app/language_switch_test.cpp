#include "app_test_support.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Light_Button.H>
#include <FL/fl_draw.H>

#include "app/analysis_window.h"
#include "app/app_version.h"
#include "app/help_window.h"
#include "app/settings_window.h"
#include "texts/ui_texts.h"
#include "ui/emboss_panel.h"
#include "ui/flag_button.h"
#include "ui/modern_dialog.h"
#include "ui/soft_button.h"

namespace fan::testing {
namespace {

// Every text a user reads in `group`: title, labels, tooltips and menu items
// (of the file-systems menu only its header; the rest are mount points).
void collectTexts(const Fl_Group& group, const App& app, std::vector<std::string>& out) {
    for (int i = -1; i < group.children(); ++i) {
        const Fl_Widget* w = i < 0 ? &group : group.child(i);
        for (const char* text : {w->label(), w->tooltip()})
            if (text != nullptr) out.push_back(text);
        if (const auto* menu = dynamic_cast<const Fl_Menu_*>(w)) {
            const int items = w == app.fileSystemsChoice ? 1 : menu->size() - 1;
            for (int k = 0; k < items; ++k)
                out.push_back(menu->text(k));
        }
        const auto* inner = dynamic_cast<const Fl_Group*>(w);
        if (i >= 0 && inner != nullptr) collectTexts(*inner, app, out);
    }
}

bool cyrillic(const std::string& s) {
    return s.find_first_of("\xD0\xD1") != s.npos;
}
bool latin(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](unsigned char c) { return std::isalpha(c); });
}
// Names and numbers read the same in both languages.
bool readsAsRussian(const std::string& s) {
    return cyrillic(s) || !latin(s) || s == "English" || s == kWindowTitle;
}

// Windows built in the one language from the start, then the other's flag.
TEST(LanguageSwitch, EveryWindowShowsTheFlagsLanguage) {
    for (const bool english : {true, false}) {
        SCOPED_TRACE(english ? "to English" : "to Russian");
        saveSettings(Settings{english ? 1 : 2});
        ShownApp app;
        showEveryWindow(*app);
        click(english ? app->englishFlagButton : app->russianFlagButton);
        EXPECT_EQ(loadSettings().languageMode, english ? 2 : 1);
        EXPECT_EQ(app->englishFlagButton->selected, english);
        EXPECT_EQ(app->russianFlagButton->selected, !english);
        ASSERT_NE(app->helpWindow, nullptr);
        EXPECT_TRUE(app->helpWindow->visible());
        std::vector<std::string> texts{app->statusText, app->helpWindow->html};
        const Fl_Group* windows[] = {app, app->settingsWindow, app->helpWindow, app->analysisWindow};
        for (const Fl_Group* window : windows)
            collectTexts(*window, *app, texts);
        for (const std::string& text : texts) {
            EXPECT_FALSE(text.empty());
            EXPECT_TRUE(english ? !cyrillic(text) : readsAsRussian(text)) << text;
        }
    }
}

TEST(LanguageSwitch, OkInTheOpenSettingsWindowKeepsTheFlagsLanguage) {
    ShownApp app;
    click(app->russianFlagButton);
    App::showSettings(nullptr, app);
    click(app->englishFlagButton);
    click(app->settingsWindow->okButton);
    EXPECT_EQ(uiLanguage, 1);
    EXPECT_EQ(loadSettings().languageMode, 2);
}

struct Box {
    int x, y, w, h;
};

// Where the toolkit draws `w`'s label, measured in its font and size: left
// of the widget for an outside left label, else at the left of or centred
// in the widget's area (right of the box for a check button).
Box labelBox(const Fl_Widget& w) {
    fl_font(w.labelfont(), w.labelsize());
    int width = 0, height = 0;
    fl_measure(w.label(), width, height, 0);
    const Fl_Align align = w.align();
    const int top = w.y() + (w.h() - height) / 2;
    if ((align & FL_ALIGN_INSIDE) == 0 && (align & FL_ALIGN_LEFT) != 0) return {w.x() - 3 - width, top, width, height};
    int left = w.x(), room = w.w();
    if (dynamic_cast<const Fl_Light_Button*>(&w) != nullptr) {
        const int box = Fl::box_dx(w.box()) + 2 + w.labelsize() + 2;
        left += box;
        room -= box;
    }
    if ((align & FL_ALIGN_LEFT) == 0) left += (room - width) / 2;
    return {left, top, width, height};
}

bool inside(const Box& inner, const Box& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

Box boxOf(const Fl_Widget& w) {
    return {w.x(), w.y(), w.w(), w.h()};
}

// Each label of `window` within what holds it: its own widget for a label
// inside, else the panel behind the widget, else the window.
void expectLabelsFit(const Fl_Window& window) {
    for (int i = 0; i < window.children(); ++i) {
        const Fl_Widget& w = *window.child(i);
        if (w.label() == nullptr || *w.label() == '\0') continue;
        const Box label = labelBox(w);
        Box holder{0, 0, window.w(), window.h()};
        if ((w.align() & FL_ALIGN_INSIDE) != 0 || (w.align() & FL_ALIGN_POSITION_MASK) == 0)
            holder = boxOf(w);
        else
            for (int k = 0; k < window.children(); ++k)
                if (dynamic_cast<const EmbossPanel*>(window.child(k)) != nullptr &&
                    inside(boxOf(w), boxOf(*window.child(k))))
                    holder = boxOf(*window.child(k));
        EXPECT_TRUE(inside(label, holder)) << w.label() << " at x " << label.x << " width " << label.w << " in "
                                           << holder.x << ".." << holder.x + holder.w;
    }
}

// Each text a dialog draws, as it lays it out, within its box.
void expectDialogTextsFit(const ModernDialog& dialog) {
    for (const ModernDialog::Text& text : dialog.texts()) {
        SCOPED_TRACE(text.lines);
        fl_font(FL_HELVETICA, text.size);
        int width = 0, height = 0;
        fl_measure(text.lines.c_str(), width, height, 0);
        EXPECT_LE(width, text.w);
        EXPECT_LE(height, text.h);
    }
}

TEST(LanguageSwitch, EveryLabelFitsItsPanelInBothLanguages) {
    ShownApp app;
    showEveryWindow(*app);
    // What the program puts in the dialogs besides its own texts: long, but
    // within what the detail's three lines hold.
    const std::string item = "/home/someone/Pictures/holidays-2023/DSC_0042-retouched-final-version@2x.png";
    const std::string failure = "Trash failed (the volume's trash folder belongs to another user)";
    const std::string link = "No helper program was found to open https://example.org/fanOrbiter/";
    for (const int language : {1, 0}) {
        app->setLanguage(language);
        Fl_Group::current(nullptr);
        ModernDialog emptyTrash(settingsText(stxtEmptyTrashTitle), settingsText(stxtEmptyTrashQuestion),
                                settingsText(stxtEmptyTrashTooltip), settingsText(stxtEmptyButton), uiText(txtCancel),
                                true, true);
        ModernDialog moveToTrash(uiText(txtMoveToTrashTitle), uiText(txtMoveToTrashQuestion), item,
                                 uiText(txtMoveToTrash), uiText(txtCancel), true, true);
        ModernDialog actionFailed(uiText(txtActionFailed), failure, "", settingsText(stxtOk), "", false, false);
        ModernDialog linkFailed(uiText(txtActionFailed), uiText(txtCouldNotOpenLink), link, settingsText(stxtOk), "",
                                false, false);
        const std::pair<const char*, const Fl_Window*> windows[] = {{"main", app},
                                                                    {"settings", app->settingsWindow},
                                                                    {"help", app->helpWindow},
                                                                    {"analysis", app->analysisWindow},
                                                                    {"empty Trash", &emptyTrash},
                                                                    {"move to Trash", &moveToTrash},
                                                                    {"action failed", &actionFailed},
                                                                    {"link failed", &linkFailed}};
        for (const auto& [name, window] : windows) {
            SCOPED_TRACE(std::string(name) + (language == 1 ? ", English" : ", Russian"));
            expectLabelsFit(*window);
            if (const auto* dialog = dynamic_cast<const ModernDialog*>(window)) expectDialogTextsFit(*dialog);
        }
    }
}

}  // namespace
}  // namespace fan::testing
