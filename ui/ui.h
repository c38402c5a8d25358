// The interface kit: palette, drawing helpers, widgets, dialogs and texts.
#pragma once
