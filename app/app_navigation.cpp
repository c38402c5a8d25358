// Moving the view through the tree: open, up, back, and the window's keys.
#include "app/app.h"

#include <FL/Fl.H>
#include <FL/Fl_Input.H>

#include "core/path_text.h"

namespace fan {

void App::openNode(uint64_t node, bool pushHistory) {
    if (result == nullptr || node == kNoNode || node >= result->nodes.size()) return;
    const ScanNode& target = result->nodes[node];
    if (!target.isFolder || node == currentNode) return;

    if (target.mountIndex != kNoNode) {
        // Another file system is not part of this result: it gets a scan of
        // its own, and Back returns to the folder being viewed now.
        if (scanning) return;
        const std::filesystem::path mountPoint = result->nodePath(node);
        rootHistory.push_back(result->nodePath(currentNode));
        start(mountPoint, true);
        return;
    }

    if (pushHistory) nodeHistory.push_back(currentNode);
    currentNode = node;
    map->hoveredNode = kNoNode;
    map->listScroll = 0;
    map->hoveredIsGroup = false;
    map->resetCache();
    if (!scanning) pathInput->value(pathText(result->nodePath(node)).c_str());
    updateControls();
    map->redraw();
}

void App::onUp(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    if (app.result == nullptr || app.currentNode == 0) return;
    app.openNode(app.result->nodes[app.currentNode].parent, true);
}

void App::onBack(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    if (!app.nodeHistory.empty()) {
        const uint64_t node = app.nodeHistory.back();
        app.nodeHistory.pop_back();
        app.openNode(node, false);
        // openNode may have done nothing; the control states must still
        // follow the shorter back-stack.
        app.updateControls();
        return;
    }
    if (!app.scanning && !app.rootHistory.empty()) {
        const std::filesystem::path previous = app.rootHistory.back();
        app.rootHistory.pop_back();
        app.start(previous, true);
    }
}

int App::handle(int event) {
    if (event != FL_SHORTCUT) return Fl_Double_Window::handle(event);
    const int key = Fl::event_key();
    const int state = Fl::event_state();

    switch (key) {
        case FL_BackSpace:
            if (Fl::focus() == pathInput) break;
            onUp(this, this);
            return 1;
        case FL_Left:
            if (!(state & FL_ALT)) break;
            onBack(this, this);
            return 1;
        case FL_Escape:
            // Unlike Cancel, the button stays active: the status line alone says
            // that the scan is stopping.
            if (!scanning) break;
            scanProgress.stop.exchange(true);
            updateStatus();
            return 1;
        case FL_F + 1:
            showHelp(this, this);
            return 1;
        case 'f':
        case 'F':
            if (!(state & FL_CTRL)) break;
            onShowAnalysis(this, this);
            return 1;
        case FL_F + 5:
            if (scanning) break;
            start(pathFromText(pathFieldText()), false);
            return 1;
        default:
            break;
    }
    return Fl_Double_Window::handle(event);
}

}  // namespace fan
