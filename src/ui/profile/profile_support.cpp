#include "ui/profile/profile_support.h"

#include "dictionary/tdm_idioma.h"
#include "store/table.h"

#include <QApplication>

namespace ProfileSupport {

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

bool editing(const Table* table) {
    return table->state() == Table::State::Edit || table->state() == Table::State::Insert;
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace ProfileSupport
