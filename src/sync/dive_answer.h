#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class DiveIndex;
class Tdm_rdp;

// What applying an answer did: the non-empty lines, those written back, and those that could
// not be (a value its field cannot take, a service or local number that is not a number).
struct AnswerOutcome {
    int lines = 0;
    int applied = 0;
    int skipped = 0;
    int withheld = 0;  // dives deleted here (see withhold())
};

// The lines of an answer as received (ISO-8859-1 bytes), split at CR, LF or CR LF and turned
// into text one at a time, so the whole answer is never held as text at once.
class AnswerLines {
public:
    AnswerLines() = default;
    explicit AnswerLines(QByteArray bytes);

    // The next line (possibly empty); false after the last.
    bool next(QString& line);
    // The lines that are not empty, counted over the whole answer without taking any.
    int nonEmptyCount() const;

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

// Writes the service's dive answer back into the tables, one record line per dive: the dive
// with the line's service number, else the one with its local number that the service has not
// numbered yet, else a new dive, each with its conditions and equipment rows. A line is
// converted whole before anything is written, so a line that cannot be applied leaves the
// tables as they were and the lines after it still apply. Only values that differ from the
// stored ones are written, so an unchanged dive stays as it is.
class DiveAnswer {
public:
    // `pause` runs between small steps of the work (a caller on the user-interface thread lets
    // the events run there; only the run's own Cancel may act meanwhile).
    explicit DiveAnswer(Tdm_rdp& tables, std::function<void()> pause = {});
    ~DiveAnswer();

    // Lines with these service numbers are not applied: dives deleted here whose deletion the
    // service has not learnt yet, which it still sends back.
    void withhold(QSet<int> serviceNumbers);

    // `afterLine` runs after every non-empty line (the run shows its progress there).
    AnswerOutcome apply(const QStringList& lines, const std::function<void()>& afterLine = {});
    AnswerOutcome apply(AnswerLines lines, const std::function<void()>& afterLine = {});

    // The answer text split into lines at CR, LF or CR LF.
    static QStringList lines(QString answer);

private:
    struct Part;
    enum class Staged { Ready, Unreadable, Withheld };
    // `next` gives one line after the other and false after the last.
    AnswerOutcome applyEach(const std::function<bool(QString&)>& next,
                            const std::function<void()>& afterLine);
    Staged stage(const QString& text, const DiveIndex& index);
    void write(DiveIndex& index);
    void cancelEdits();

    Tdm_rdp& tables_;
    std::vector<std::unique_ptr<Part>> parts_;  // dive, conditions, equipment
    QStringList values_;                        // of the line being applied
    QSet<int> withheld_;
    std::function<void()> pause_;
};
