#pragma once

class QWidget;

// At start-up: an edit of a dive that the last run typed and never posted (it ended first) is
// offered back to the diver, who decides; brought back, it is the dive's edit again, not
// posted. Declined, it is dropped. Either way the tables keep the pending edit from then on.
void offerPendingEdit(QWidget* parent);
