#include "reports/value_texts.h"

#include "dictionary/tdm_idioma.h"

namespace ValueTexts {

ValueDomain translated(const ValueDomain& domain) {
    ValueDomain words = domain;
    if (!dmIdioma) {
        return words;
    }
    for (QString& item : words.items) {
        const QString word = dmIdioma->ValidKey(item);
        if (!word.isEmpty()) {
            item = word;
        }
    }
    return words;
}

QString shownText(const ValueDomain& domain, int code) {
    QString text;
    for (int i = 0; i < domain.values.size(); ++i) {
        if (domain.values[i].toInt() == code) {
            text = domain.items.value(i);
        }
    }
    return text;
}

}  // namespace ValueTexts
