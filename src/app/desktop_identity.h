#pragma once

// How a desktop recognises the program's windows: the icon built into the program (every window
// and the task bar show it), and the name of its menu entry, which Wayland compositors match the
// windows against to show that entry's icon and name.
void setDesktopIdentity();
