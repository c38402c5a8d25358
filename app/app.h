// The application shell: main window, scan control, navigation and settings.
#pragma once
