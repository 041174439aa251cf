#include "sync/dive_answer.h"

#include "app/settings/app_error.h"
#include "store/quiet_tables.h"
#include "store/tdm_rdp.h"
#include "sync/dive_index.h"
#include "sync/field_fit.h"
#include "wire/dive_record.h"
#include "wire/sync_fields.h"

#include <cstring>

namespace {

// An integer written in decimal, nothing else.
bool toInteger(const QString& text, int& number) {
    bool ok = false;
    number = text.toInt(&ok, 10);
    return ok;
}

// Types whose text form reads back as exactly the same value (a time's text drops its
// milliseconds), so a value that reads as the stored one's text is that value.
bool textIsExact(FieldType type) {
    return type != FieldType::Time && type != FieldType::DateTime;
}

// Where the line starting at `from` ends: its CR or LF, or `end`.
const char* lineEnd(const char* from, const char* end) {
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', size_t(end - from)));
    const char* stop = lf ? lf : end;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', size_t(stop - from)));
    return cr ? cr : stop;
}

// The start of the line after the one ending at `ending` (CR LF counts as one end).
const char* nextLine(const char* ending, const char* end) {
    if (ending == end) {
        return end;
    }
    return ending[0] == '\r' && ending + 1 < end && ending[1] == '\n' ? ending + 2 : ending + 1;
}

}  // namespace

// The values of one table taken from a line. A value whose text is the target row's own text
// form is that row's value; any other is converted in the edit buffer of a scratch row with the
// same fields (which throws for a value a field cannot take). Writing copies the converted
// values, as typed values, where they differ from the row.
struct DiveAnswer::Part {
    Table* target;
    Table scratch;
    QStringList fields;
    QVector<int> indexes;             // of the fields, the same in both tables
    QVector<int> valueIndexes;        // where in the line each field's value is
    QVector<DiveRecord::Form> forms;  // for each field
    QVector<FieldDef> defs;           // for each field
    QVector<bool> exactText;          // for each field
    QVector<bool> unchanged;          // for each field, of the line staged last
    int row = -1;                     // the target row of the line staged last; -1 for a new row

    explicit Part(Table* table)
        : target(table), scratch(QStringLiteral("answer"), table->fields(), {}) {
        scratch.createDataSet();
        scratch.insert();
        scratch.post();  // one row of nulls; each line is converted in its edit buffer
    }
    void add(const QString& field, int valueIndex, DiveRecord::Form form) {
        const int index = target->fieldIndex(field);
        fields.append(field);
        indexes.append(index);
        valueIndexes.append(valueIndex);
        forms.append(form);
        defs.append(target->fields()[index]);
        exactText.append(textIsExact(defs.last().type));
        unchanged.append(false);
    }
    // Against the target's row `targetRow`, or a new row when it is -1. An empty value (null)
    // needs no conversion: the scratch row holds only nulls.
    void stage(const QStringList& values, int targetRow) {
        row = targetRow;
        scratch.cancel();
        scratch.edit();
        for (int i = 0; i < fields.size(); ++i) {
            const QString& value = values[valueIndexes[i]];
            const QString text = fittedToField(defs[i], DiveRecord::answerText(forms[i], value));
            unchanged[i] = row >= 0 && readsAsStored(i, value, text);
            if (!text.isEmpty() && !unchanged[i]) {
                scratch.setAsString(fields[i], text);
            }
        }
    }
    // The value is the target row's own: its text is the stored value's text form (a real
    // midnight start time answered as 00:00:00, the null form, stays too).
    bool readsAsStored(int i, const QString& value, const QString& text) const {
        if (text.isEmpty()) {
            return !value.isEmpty() && value == target->displayText(row, indexes[i]);
        }
        return exactText[i] && text == target->displayText(row, indexes[i]);
    }
    void write() {
        if (row < 0) {
            target->insert();
        }
        for (int i = 0; i < fields.size(); ++i) {
            if (unchanged[i]) {
                continue;
            }
            const QVariant staged = scratch.valueAt(0, indexes[i]);
            const QVariant current = row < 0 ? QVariant() : target->valueAt(row, indexes[i]);
            if (current.isValid() != staged.isValid() || current != staged) {
                target->setValue(fields[i], staged);
            }
        }
        target->post();
    }
};

AnswerLines::AnswerLines(QByteArray bytes) : bytes_(std::move(bytes)) {}

bool AnswerLines::next(QString& line) {
    const char* begin = bytes_.constData();
    const char* end = begin + bytes_.size();
    const char* from = begin + at_;
    if (from == end) {
        return false;
    }
    const char* ending = lineEnd(from, end);
    line = QString::fromLatin1(from, ending - from);
    at_ = nextLine(ending, end) - begin;
    return true;
}

int AnswerLines::nonEmptyCount() const {
    const char* end = bytes_.constData() + bytes_.size();
    int count = 0;
    for (const char* from = bytes_.constData() + at_; from != end;) {
        const char* ending = lineEnd(from, end);
        count += ending != from;
        from = nextLine(ending, end);
    }
    return count;
}

DiveAnswer::DiveAnswer(Tdm_rdp& tables, std::function<void()> pause)
    : tables_(tables), values_(DiveRecord::kAnswerSlots), pause_(std::move(pause)) {
    for (Table* table : {tables.cds_dives, tables.cds_conditions, tables.cds_equipment}) {
        parts_.push_back(std::make_unique<Part>(table));
    }
    const QVector<DiveRecord::Position>& layout = DiveRecord::layout();
    for (int slot = 0; slot < layout.size(); ++slot) {
        const DiveRecord::Position& position = layout[slot];
        if (!position.answerField.isEmpty()) {
            parts_[int(position.source)]->add(position.answerField, slot, position.form);
        }
    }
}

DiveAnswer::~DiveAnswer() = default;

void DiveAnswer::withhold(QSet<int> serviceNumbers) {
    withheld_ = std::move(serviceNumbers);
}

QStringList DiveAnswer::lines(QString answer) {
    answer.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return answer.split(u'\n');
}

AnswerOutcome DiveAnswer::apply(const QStringList& lines, const std::function<void()>& afterLine) {
    qsizetype at = 0;
    return applyEach(
        [&](QString& line) {
            if (at == lines.size()) {
                return false;
            }
            line = lines[at++];
            return true;
        },
        afterLine);
}

AnswerOutcome DiveAnswer::apply(AnswerLines lines, const std::function<void()>& afterLine) {
    return applyEach([&](QString& line) { return lines.next(line); }, afterLine);
}

AnswerOutcome DiveAnswer::applyEach(const std::function<bool(QString&)>& next,
                                    const std::function<void()>& afterLine) {
    const QuietTables quiet({tables_.cds_dives, tables_.cds_conditions, tables_.cds_equipment});
    DiveIndex index(*tables_.cds_dives, pause_);
    AnswerOutcome outcome;
    QString text;
    while (next(text)) {
        if (text.isEmpty()) {
            continue;
        }
        ++outcome.lines;
        try {
            switch (stage(text, index)) {
                case Staged::Ready:
                    write(index);
                    ++outcome.applied;
                    break;
                case Staged::Unreadable:
                    ++outcome.skipped;
                    break;
                case Staged::Withheld:
                    ++outcome.withheld;
                    break;
            }
        } catch (const AppError&) {
            cancelEdits();
            ++outcome.skipped;
        }
        if (afterLine) {
            afterLine();
        }
        if (pause_) {
            pause_();
        }
    }
    return outcome;
}

// Finds the line's dive (making it current) and converts the line's values; nothing is written
// when a value cannot be stored or the dive is withheld.
DiveAnswer::Staged DiveAnswer::stage(const QString& text, const DiveIndex& index) {
    SyncFields::splitRecord(text, values_);
    int idDive = 0;
    int idLocalDive = 0;
    if (!toInteger(values_[0], idDive) || !toInteger(values_[1], idLocalDive)) {
        return Staged::Unreadable;
    }
    if (withheld_.contains(idDive)) {
        return Staged::Withheld;
    }
    const int row = index.find(idDive, idLocalDive);
    if (row >= 0) {
        tables_.cds_dives->setRecNo(row + 1);
    }
    try {
        parts_[0]->stage(values_, row);
        for (int detail = 1; detail < int(parts_.size()); ++detail) {
            const Table* rows = parts_[detail]->target;
            const bool hasRow = row >= 0 && rows->recordCount() > 0;
            parts_[detail]->stage(values_, hasRow ? rows->recNo() - 1 : -1);
        }
    } catch (const AppError&) {
        return Staged::Unreadable;
    }
    return Staged::Ready;
}

// The dive first (a new one gets its local number when posted), then its rows; a dive without
// a conditions or equipment row gets a new one.
void DiveAnswer::write(DiveIndex& index) {
    parts_[0]->write();
    index.update(tables_.cds_dives->recNo() - 1);
    for (int detail = 1; detail < int(parts_.size()); ++detail) {
        parts_[detail]->write();
    }
}

void DiveAnswer::cancelEdits() {
    for (const auto& part : parts_) {
        part->target->cancel();
    }
}
