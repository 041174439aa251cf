#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class TFrmSelectBuddy;
}
class QTimer;
class TINetDetect;

// A person of the cached contact list for one of the dive's people fields (buddy, instructor,
// a team member), or Clear to empty the field; Details opens the contact list on the
// highlighted contact. It never asks the service itself.
class TFrmSelectBuddy : public QDialog {
    Q_OBJECT
public:
    static constexpr int kInstructor = 2;  // the Role of the instructor
    static constexpr int kCleared = -1;    // ContactId after Clear

    // `detector` goes to the contact list that Details opens.
    TFrmSelectBuddy(QWidget* owner, const TINetDetect* detector);
    ~TFrmSelectBuddy() override;

    // In: the dive's id for the field; out: the chosen contact's id, kCleared after Clear,
    // else unchanged.
    int ContactId = 0;
    // The chosen contact's name; empty unless one was chosen.
    QString ContactName;
    int Role = 0;

    Ui::TFrmSelectBuddy* const ui;
    QTimer* const Timer1;  // one-shot deferral of the list load

    void FormShow();
    void Timer1Timer();
    void tSelectSelectItem();
    void bt_selectClick();
    void btClearClick();
    void Button2Click();
    void Details1Click();
    void tSelectColumnClick(int column);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void connectHandlers();

    const TINetDetect* detector_;
    int SortColumn = 0;
};
