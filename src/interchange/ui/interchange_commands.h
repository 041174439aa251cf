#pragma once

class TFrm_Principal;

// The main window's import and export commands. Both first post what the editor holds in
// edit. The import window detaches the dive list while the tables change and attaches it
// again on the first new dive.
void runImportCommand(TFrm_Principal& window);
void runExportCommand(TFrm_Principal& window);
