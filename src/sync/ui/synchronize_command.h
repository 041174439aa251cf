#pragma once

class TFrm_Principal;

// The Synchronize command of the main window: without a member user name it says so and opens
// nothing; otherwise it detaches the dive list from its data source (so the list does not follow
// the tables while they are rewritten), shows the synchronisation dialog, and attaches the list
// again in every case, on the dive row the dialog left current. Failures of the dialog are
// swallowed.
void Ac_SyncronizeExecute(TFrm_Principal& window);
