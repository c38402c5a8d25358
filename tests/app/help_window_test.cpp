#include "app_test_support.h"

#include <FL/Fl_Help_View.H>

#include "app/help_window.h"
#include "texts/ui_texts.h"
#include "ui/modern_dialog.h"
#include "ui/palette.h"

namespace fan::testing {
namespace {

TEST(HelpWindow, F1ShowsItAgainAsItWasLeftInTheThemesColours) {
    ShownApp app;
    for (const auto& [dark, background] : {std::pair{false, 0xF6F8FB00u}, {true, 0x0F141A00u}}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        applyPalette(dark);
        delete std::exchange(app->helpWindow, nullptr);
        App::showHelp(nullptr, app);
        auto* view = static_cast<Fl_Help_View*>(app->helpWindow->child(0));
        view->topline(50);
        app->helpWindow->hide();
        sendShortcut(*app, FL_F + 1);
        settle();
        HelpWindow* first = app->helpWindow;
        // Shown again as it was left, not rebuilt.
        EXPECT_TRUE(first->visible());
        EXPECT_EQ(first->child(0), view);
        EXPECT_EQ(view->topline(), 50);
        // The page below its last line of text.
        EXPECT_EQ(hex(screenPixel(first->x() + 40, first->y() + first->h() - 30)), hex(background));
    }
}

// A shown help window whose page is a link to `href`, then 80 lines and an
// anchor "end".
struct HelpLinkTest : ::testing::Test {
    HelpLinkTest() { App::showHelp(nullptr, app); }
    Fl_Help_View* view() { return static_cast<Fl_Help_View*>(app->helpWindow->child(0)); }
    void clickLinkTo(const std::string& href) {
        std::string page = "<body><a href=\"" + href + "\">LINK LINK</a>";
        for (int i = 0; i < 80; ++i)
            page += "<p>line</p>";
        view()->value((page + "<a name=\"end\">end</a></body>").c_str());
        sendClick(app->helpWindow, view()->x() + 20, view()->y() + 12);
    }
    ShownApp app;
};

TEST_F(HelpLinkTest, AnAnchorLinkScrollsThePage) {
    clickLinkTo("#end");
    EXPECT_GT(view()->topline(), 0);
}

TEST_F(HelpLinkTest, AWebLinkWithoutABrowserIsReported) {
    const std::string path = getenv("PATH");
    setenv("PATH", "/nonexistent/no-browsers-here", 1);
    std::string message;
    std::string detail;
    ModalScript script({[&] {
        if (auto* dialog = dynamic_cast<ModernDialog*>(Fl::grab())) {
            message = dialog->message;
            detail = dialog->detail;
            dialog->hide();
        }
    }});
    clickLinkTo("https://example.invalid/page");
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(message, uiText(txtCouldNotOpenLink));
    EXPECT_EQ(detail, "No helper application found for \"https://example.invalid/page\"");
    EXPECT_EQ(view()->topline(), 0);
}

}  // namespace
}  // namespace fan::testing
