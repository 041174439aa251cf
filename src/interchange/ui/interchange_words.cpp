#include "interchange/ui/interchange_words.h"

#include "app/settings/app_error.h"
#include "dictionary/tdm_idioma.h"
#include "store/tdm_rdp.h"
#include "ui/forms/dialogs.h"

#include <QRadioButton>
#include <QStringList>

namespace InterchangeWords {
namespace {

QString counted(int count, const char* key) {
    return QString::number(count) + QLatin1Char(' ') + word(QString::fromLatin1(key));
}

}  // namespace

QString word(const QString& key) {
    const QString text = dmIdioma ? dmIdioma->GetWord(key) : QString();
    return text.isEmpty() ? key : text;
}

QString foundText(const LogFile& file, int duplicates) {
    const QString source = file.program.isEmpty()
                               ? file.format
                               : file.format + QStringLiteral(" (") + file.program + u')';
    return source + QStringLiteral(": ") + counted(int(file.dives.size()), "txt_dives_in_file") +
           QStringLiteral(", ") + counted(duplicates, "txt_already_in_log") + u'.';
}

QString summaryText(const ImportSummary& summary) {
    QStringList lines = {counted(summary.imported, "txt_dives_imported")};
    const struct {
        int count;
        const char* key;
    } outcomes[] = {
        {summary.duplicatesSkipped, "txt_dives_skipped"},
        {summary.merged, "txt_dives_merged"},
        {summary.lockedSkipped, "txt_dives_locked"},
        {summary.refused, "txt_dives_refused"},
        {summary.notReached, "txt_dives_not_reached"},
        {summary.divesLeftOut, "txt_dives_without_date"},
        {summary.counts.adjusted, "txt_values_adjusted"},
        {summary.counts.leftOut, "txt_values_left_out"},
    };
    for (const auto& outcome : outcomes) {
        if (outcome.count > 0) {
            lines << counted(outcome.count, outcome.key);
        }
    }
    return lines.join(u'\n');
}

void translateRadioButtons(QWidget* form) {
    for (QRadioButton* button : form->findChildren<QRadioButton*>()) {
        const QString caption = button->text();
        if (caption.startsWith(u'<') && caption.endsWith(u'>')) {
            button->setText(word(caption.mid(1, caption.size() - 2)));
        }
    }
}

void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                   const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (Dialogs::execModal(&dialog) != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

bool postPendingEdits(QWidget* parent) {
    if (!dm_rdp) {
        return false;
    }
    try {
        Table* dives = dm_rdp->cds_dives;
        if (dives->active() &&
            (dives->state() == Table::State::Edit || dives->state() == Table::State::Insert)) {
            dives->post();
        }
        for (Table* detail : {dm_rdp->cds_conditions, dm_rdp->cds_equipment}) {
            if (detail->active() && detail->modified()) {
                detail->post();
            }
        }
    } catch (const AppError& error) {
        Dialogs::showError(parent, error.message());
        return false;
    }
    return true;
}

}  // namespace InterchangeWords
