#include "app_test_support.h"

#include <FL/Fl_Help_View.H>

#include "app/help_window.h"
#include "texts/ui_texts.h"
#include "ui/modern_dialog.h"
#include "ui/palette.h"

namespace fan::testing {
namespace {

TEST(HelpWindow, F1ShowsItAgainAsItWasLeftInTheDarkThemesColours) {
    ShownApp app;
    applyPalette(true);
    App::showHelp(nullptr, app);
    auto* view = static_cast<Fl_Help_View*>(app->helpWindow->child(0));
    view->topline(50);
    app->helpWindow->hide();
    sendShortcut(*app, FL_F + 1);
    settle();
    HelpWindow* help = app->helpWindow;
    // Shown again as it was left, not rebuilt.
    EXPECT_TRUE(help->visible());
    EXPECT_EQ(help->child(0), view);
    EXPECT_EQ(view->topline(), 50);
    // The page below its last line of text.
    EXPECT_EQ(hex(screenPixel(help->x() + 40, help->y() + help->h() - 30)), hex(0x0F141A00u));
}

TEST(HelpWindow, AWebLinkWithoutABrowserIsReported) {
    ShownApp app;
    App::showHelp(nullptr, app);
    auto* view = static_cast<Fl_Help_View*>(app->helpWindow->child(0));
    view->value("<body><a href=\"https://example.invalid/page\">LINK LINK</a></body>");
    const std::string path = getenv("PATH");
    setenv("PATH", "/nonexistent/no-browsers-here", 1);
    ModalScript script({[] {
        auto* dialog = dynamic_cast<ModernDialog*>(Fl::grab());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->message, uiText(txtCouldNotOpenLink));
        EXPECT_EQ(dialog->detail, "No helper application found for \"https://example.invalid/page\"");
        dialog->hide();
    }});
    sendClick(app->helpWindow, view->x() + 20, view->y() + 12);
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(script.finished());
}

}  // namespace
}  // namespace fan::testing
