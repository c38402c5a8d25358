// Applying a confirmed settings record: stored, then every window re-themed
// and relabelled.
#include <FL/Fl_Choice.H>

#include <algorithm>

#include "app/analysis_window.h"
#include "app/app.h"
#include "app/settings_window.h"
#include "ui/palette.h"
#include "ui/status_bar.h"
#include "ui/window_frame.h"

namespace fan {

void App::applySettings(Settings& edited) {
    edited.themeMode = std::clamp(edited.themeMode, 0, 2);
    edited.defaultDepth = std::clamp(edited.defaultDepth, 0, 2);
    edited.lastDepth = edited.defaultDepth;
    edited.mapTransparency = std::clamp(edited.mapTransparency, 0, 100);
    edited.languageMode = std::clamp(edited.languageMode, 0, 2);
    settings = edited;
    detailChoice->value(settings.defaultDepth);
    saveSettings(settings);

    // The worker reads the flag before each publication; the copy already
    // taken is dropped here so a running scan's ring goes at once.
    scanProgress.livePreview.exchange(settings.livePreview);
    if (!settings.livePreview) {
        preview = ScanSnapshot{};
        map->resetCache();
    }

    applyPalette(resolveDarkTheme(settings));
    colourControls();
    if (analysisWindow != nullptr) analysisWindow->applyTheme();
    if (settingsWindow != nullptr) settingsWindow->applyTheme();
    const bool helpWasShowing = dropHelpWindow();

    map->resetCache();
    map->redraw();
    statusBar->redraw();
    redraw();
    if (shown()) applyWindowFrameTheme(this);
    // The language switch below drops and rebuilds it once more; a help
    // window that was showing stays up either way.
    if (helpWasShowing) showHelp(nullptr, this);

    setLanguage(resolveLanguage(settings));
    map->resetCache();
    map->redraw();
}

}  // namespace fan
