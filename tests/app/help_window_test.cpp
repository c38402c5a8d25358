#include "app_test_support.h"

#include <FL/Fl_Help_View.H>
#include <stdlib.h>

#include "app/help_window.h"
#include "core/temp_tree.h"
#include "texts/ui_texts.h"
#include "ui/modern_dialog.h"
#include "ui/palette.h"

namespace fan::testing {
namespace {

Fl_Help_View* viewOf(App& app) { return static_cast<Fl_Help_View*>(app.helpWindow->child(0)); }

// The page background as the screen shows it, below the last line of text.
Fl_Color pageBackground(App& app) {
    settle();
    return screenPixel(app.helpWindow->x() + 40, app.helpWindow->y() + app.helpWindow->h() - 30);
}

TEST(HelpWindow, PageColoursFollowTheThemeAndASecondOpeningKeepsTheWindow) {
    ShownApp app;
    const struct { bool dark; Fl_Color background; } themes[] = {{false, 0xF6F8FB00}, {true, 0x0F141A00}};
    for (const auto& theme : themes) {
        applyPalette(theme.dark);
        delete app->helpWindow;
        app->helpWindow = nullptr;
        App::showHelp(nullptr, app.app.get());
        HelpWindow* first = app->helpWindow;
        ASSERT_TRUE(first != nullptr && first->visible());
        EXPECT_EQ(hex(pageBackground(*app.app)), hex(theme.background));

        first->hide();
        sendShortcut(*app.app, FL_F + 1);
        EXPECT_EQ(app->helpWindow, first);
        EXPECT_TRUE(first->visible());
        EXPECT_STREQ(viewOf(*app.app)->value(), first->html.c_str());
    }
}

// One link on the first line, then a page long enough to scroll.
void loadLinkPage(Fl_Help_View* view, const std::string& href) {
    std::string page = "<body><a href=\"" + href + "\">LINK LINK LINK</a>";
    for (int i = 0; i < 80; ++i) page += "<p>line</p>";
    view->value((page + "<a name=\"end\">end</a></body>").c_str());
}

TEST(HelpWindow, AnAnchorScrollsInTheViewAndAWebLinkThatCannotOpenSaysWhy) {
    ShownApp app;
    App::showHelp(nullptr, app.app.get());
    Fl_Help_View* view = viewOf(*app.app);
    settle();

    loadLinkPage(view, "#end");
    sendClick(app->helpWindow, view->x() + 20, view->y() + 12);
    EXPECT_GT(view->topline(), 0);
    EXPECT_EQ(Fl::grab(), nullptr);

    // No browser helper anywhere on PATH.
    TempTree empty;
    const std::string oldPath = getenv("PATH");
    setenv("PATH", empty.root().c_str(), 1);
    loadLinkPage(view, "https://example.invalid/page");
    const std::string page = view->value();
    std::string message, detail;
    ModalScript script({[&] {
        if (auto* dialog = dynamic_cast<ModernDialog*>(Fl::grab())) {
            message = dialog->message;
            detail = dialog->detail;
            dialog->hide();
        }
    }});
    sendClick(app->helpWindow, view->x() + 20, view->y() + 12);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(message, uiText(txtCouldNotOpenLink));
    EXPECT_NE(detail.find("https://example.invalid/page"), std::string::npos) << detail;
    EXPECT_NE(detail.find("helper"), std::string::npos) << detail;
    EXPECT_EQ(view->value(), page);
    EXPECT_EQ(view->topline(), 0);
}

}  // namespace
}  // namespace fan::testing
