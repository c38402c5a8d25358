// Program entry: builds the main window and runs the event loop.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

int main(int argc, char** argv) {
    Fl_Double_Window window(1120, 780, "fanOrbiter 0.5.14");
    window.size_range(900, 640);
    window.end();
    window.show(argc > 0 ? 1 : 0, argv);
    return Fl::run();
}
