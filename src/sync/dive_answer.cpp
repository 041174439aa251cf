#include "sync/dive_answer.h"

#include "app/settings/app_error.h"
#include "store/tdm_rdp.h"
#include "sync/dive_index.h"
#include "sync/dive_record.h"
#include "sync/quiet_tables.h"
#include "sync/sync_fields.h"

namespace {

// An integer written in decimal, nothing else.
bool toInteger(const QString& text, int& number) {
    bool ok = false;
    number = text.toInt(&ok, 10);
    return ok;
}

}  // namespace

// The values of one table taken from a line: converted in a scratch row of the same fields
// (which throws for a value the field cannot take), then copied as typed values.
struct DiveAnswer::Part {
    Table* target;
    Table scratch;
    QStringList fields;
    QVector<int> valueIndexes;  // where in the line each field's value is
    QVector<bool> firstFive;    // for each field

    explicit Part(Table* table)
        : target(table), scratch(QStringLiteral("answer"), table->fields(), {}) {
        scratch.createDataSet();
    }
    void stage(const QStringList& values) {
        scratch.cancel();
        scratch.insert();
        for (int i = 0; i < fields.size(); ++i) {
            const QString& value = values[valueIndexes[i]];
            scratch.setAsString(fields[i], firstFive[i] ? value.left(5) : value);
        }
    }
    void write() {
        for (const QString& field : fields) {
            target->setValue(field, scratch.value(field));
        }
        target->post();
    }
};

DiveAnswer::DiveAnswer(Tdm_rdp& tables) : tables_(tables) {
    for (Table* table : {tables.cds_dives, tables.cds_conditions, tables.cds_equipment}) {
        parts_.push_back(std::make_unique<Part>(table));
    }
    const QVector<DiveRecord::Position>& layout = DiveRecord::layout();
    for (int slot = 0; slot < layout.size(); ++slot) {
        const DiveRecord::Position& position = layout[slot];
        if (position.answerField.isEmpty()) {
            continue;
        }
        Part& part = *parts_[int(position.source)];
        part.fields.append(position.answerField);
        part.valueIndexes.append(slot);
        part.firstFive.append(position.answerFirstFive);
    }
}

DiveAnswer::~DiveAnswer() = default;

QStringList DiveAnswer::lines(const QString& answer) {
    QString text = answer;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text.split(u'\n');
}

AnswerOutcome DiveAnswer::apply(const QStringList& lines, const std::function<void()>& afterLine) {
    const QuietTables quiet({tables_.cds_dives, tables_.cds_conditions, tables_.cds_equipment});
    DiveIndex index(*tables_.cds_dives);
    AnswerOutcome outcome;
    for (const QString& text : lines) {
        if (text.isEmpty()) {
            continue;
        }
        ++outcome.lines;
        Line line;
        try {
            if (stage(text, line)) {
                write(line, index);
                ++outcome.applied;
            } else {
                ++outcome.skipped;
            }
        } catch (const AppError&) {
            cancelEdits();
            ++outcome.skipped;
        }
        if (afterLine) {
            afterLine();
        }
    }
    return outcome;
}

// Converts the line's values; false (nothing written) when one cannot be stored.
bool DiveAnswer::stage(const QString& text, Line& line) {
    const QStringList values = SyncFields::splitRecord(text, DiveRecord::kAnswerSlots);
    if (!toInteger(values[0], line.idDive) || !toInteger(values[1], line.idLocalDive)) {
        return false;
    }
    try {
        for (const auto& part : parts_) {
            part->stage(values);
        }
    } catch (const AppError&) {
        return false;
    }
    return true;
}

void DiveAnswer::write(const Line& line, DiveIndex& index) {
    Table* dives = tables_.cds_dives;
    const int row = index.find(line.idDive, line.idLocalDive);
    if (row >= 0) {
        dives->setRecNo(row + 1);
        dives->edit();
    } else {
        dives->insert();
    }
    parts_[0]->write();
    index.update(dives->recNo() - 1);
    for (int detail = 1; detail < int(parts_.size()); ++detail) {
        parts_[detail]->target->edit();  // a dive without the row gets a new one
        parts_[detail]->write();
    }
}

void DiveAnswer::cancelEdits() {
    for (const auto& part : parts_) {
        part->target->cancel();
    }
}
