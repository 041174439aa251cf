#pragma once

#include "interchange/log_import.h"

#include <QFileDialog>
#include <QString>

class QWidget;

// The texts and small choices the import and export windows share.
namespace InterchangeWords {

// The dictionary's text for `key` (the key itself while no dictionary is loaded).
QString word(const QString& key);

// "UDDF 3.2.0 (Subsurface): 12 dive(s) in the file, 2 of them already in the log."
QString foundText(const LogFile& file, int duplicates);
// One line per outcome that happened: dives imported, skipped, merged, left out, values
// adjusted or left out.
QString summaryText(const ImportSummary& summary);

// The window's radio buttons whose caption is a "<key>" (the window translation leaves radio
// buttons as they are).
void translateRadioButtons(QWidget* form);

// A progress bar shown only while work runs keeps its place meanwhile.
void keepPlaceWhenHidden(QWidget* widget);

// Asks for a file in a file window shown through Dialogs::execModal; empty when cancelled.
QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                   const QString& filter, const QString& suffix = {});

// Posts what the dive editor holds in edit, so that an import or an export starts from the
// log as the diver sees it; false (the failure shown) when an edit cannot be posted.
bool postPendingEdits(QWidget* parent);

}  // namespace InterchangeWords
