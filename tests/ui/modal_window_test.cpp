// The modal loop run inside another one, as a confirmation opened from a
// window that is itself modal: each loop hands the grab and the event
// dispatch back to the one it interrupted.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include "ui/modal_window.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using namespace fan::testing;

TEST(ModalWindowTest, ANestedLoopHandsTheGrabBackAndTheOuterWindowStillCloses) {
    Fl_Double_Window outer(1100, 100, 300, 200);
    outer.end();
    Fl_Double_Window inner(1150, 150, 200, 100);
    inner.end();
    const Fl_Event_Dispatch dispatchBefore = Fl::event_dispatch();
    bool innerClosedByItself = false;
    Fl_Window* grabAfterInner = nullptr;
    const auto runInner = [&] {
        ModalScript innerScript({[&] { sendCloseRequest(&inner); }});
        runModalWindow(inner, 0);
        innerClosedByItself = !innerScript.timedOut();
        grabAfterInner = Fl::grab();
    };
    // The close request reaches the outer window only through the modal
    // dispatch, so it must be back in place after the inner loop.
    ModalScript script({runInner, [&] { sendCloseRequest(&outer); }});
    // The script's own deadline hides whatever holds the grab: with the grab
    // lost, this one ends the outer loop instead.
    const auto hideOuter = [](void* window) { static_cast<Fl_Window*>(window)->hide(); };
    Fl::add_timeout(8.0, hideOuter, &outer);
    runModalWindow(outer, 0);
    Fl::remove_timeout(hideOuter, &outer);
    EXPECT_TRUE(innerClosedByItself);
    EXPECT_EQ(grabAfterInner, &outer);
    EXPECT_FALSE(script.timedOut()) << "the outer window did not close by itself";
    EXPECT_EQ(Fl::grab(), nullptr);
    EXPECT_EQ(Fl::event_dispatch(), dispatchBefore);
}

}  // namespace
}  // namespace fan
