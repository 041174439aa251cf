#pragma once

class TFrm_Principal;

// Help > check_updates: the update window, shown modally and destroyed when it closes.
void openUpdateCheck(TFrm_Principal& window);
// Connects the command to the main window's menu.
void connectToolCommands(TFrm_Principal& window);
