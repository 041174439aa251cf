#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmNotes;
}
class DataSource;

// The free-text notes of the current dive, edited in place in its conditions record; read-only
// while the dive is locked. Posting is left to the dive editor.
class TFrmNotes : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxNotesLength = 500;

    // `conditions`: the current dive's conditions record, which holds the notes; `dives`: the
    // current dive, whose lock decides whether they may change.
    TFrmNotes(QWidget* owner, DataSource* conditions, DataSource* dives);
    ~TFrmNotes() override;

    void Button1Click();

private:
    void FormCreate();

    std::unique_ptr<Ui::TFrmNotes> ui;
    DataSource* dives_;
};
