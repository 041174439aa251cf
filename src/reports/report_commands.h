#pragma once

class TFrm_Principal;

// The main window's Print command: the notice that the report is still being built, then the
// print preview of the whole log, one page per dive, from which the diver prints or saves a
// PDF. Busy is raised meanwhile and the current dive stays where it was.
void Ac_Print_DiveExecute(TFrm_Principal& window);
// View > reports: the statistics window, shown modally.
void openStatistics(TFrm_Principal& window);
// Connects both commands to the main window's actions.
void connectReportCommands(TFrm_Principal& window);
