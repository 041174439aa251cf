#include "ui/profile/profile_support.h"

#include "dictionary/tdm_idioma.h"
#include "store/table.h"

#include <QComboBox>

namespace ProfileSupport {

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

void setChoices(QComboBox* box, const QStringList& choices) {
    box->clear();
    box->addItems(choices);
}

bool editing(const Table* table) {
    return table->state() == Table::State::Edit || table->state() == Table::State::Insert;
}

}  // namespace ProfileSupport
