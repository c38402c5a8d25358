// Where the main window's children sit for a given window size.
#include "app/app.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <algorithm>

#include "ui/flag_button.h"
#include "ui/icon_button.h"
#include "ui/soft_button.h"
#include "ui/status_bar.h"

namespace fan {

void App::layoutControls(int w, int h) {
    // Header band at the top, two toolbar rows, the map, and the status row.
    openFolderButton->resize(24, 65, 150, 36);
    backButton->resize(186, 65, 40, 36);
    upButton->resize(232, 65, 40, 36);
    pathInput->resize(284, 65, std::max(w - 600, 220), 36);
    scanButton->resize(w - 304, 65, 142, 36);
    cancelButton->resize(w - 150, 65, 126, 36);
    fileSystemsChoice->resize(24, 115, std::max(std::min(w - 464, 420), 300), 30);
    detailChoice->resize(w - 190, 115, 166, 30);
    analysisButton->resize(w - 412, 15, 100, 30);
    helpButton->resize(w - 300, 15, 96, 30);
    russianFlagButton->resize(w - 192, 16, 32, 28);
    englishFlagButton->resize(w - 154, 16, 32, 28);
    settingsButton->resize(w - 114, 16, 32, 28);
    map->resize(0, 158, w, h - 196);
    statusBar->resize(14, h - 34, w - 98, 28);
    emptyTrashButton->resize(w - 78, h - 34, 32, 28);
    openTrashButton->resize(w - 40, h - 34, 32, 28);
}

}  // namespace fan
