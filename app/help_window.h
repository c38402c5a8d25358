// The help window: one HTML page about the program in the language and
// theme that were current when it was built.
//
// GUI thread only. The App owns the one HelpWindow (App::helpWindow): built
// on first use by App::showHelp, hidden rather than destroyed when closed,
// and never relabelled: a change of language or settings deletes it, and
// whoever deletes a visible one rebuilds it by calling App::showHelp.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <string>

class Fl_Widget;

namespace fan {

class HelpWindow : public Fl_Double_Window {
public:
    // A hidden 720 x 640 window whose only child, an Fl_Help_View (child 0,
    // owned by the window), shows buildHelpHtml() for the current darkTheme
    // and uiLanguage. The window callback only hides it. Show it with show()
    // and then applyWindowFrameTheme; visible() tells whether it is showing.
    HelpWindow();
    ~HelpWindow() override = default;

    std::string html;  // the page the view was given
};

// The help page for the current darkTheme and uiLanguage.
std::string buildHelpHtml();

// The help view's link callback. A web link (http:// or https://) goes to
// the system's browser; when that fails a message dialog gives the reason.
// Either way nothing is returned, so the view stays on its page. Any other
// link (an in-page anchor, a file) comes back unchanged for the view itself
// to follow. A null link gives null.
const char* onHelpLink(Fl_Widget* view, const char* link);

}  // namespace fan
