#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class TFrmUpdate;
}
class QTimer;

// The update check: a second after the window opens it asks the service which newer versions or
// components exist for this version and language, and lists their names (or says this version
// is the latest). It only informs; nothing is downloaded. Any failure (no connection, an error
// status, an answer that is not XML) ends with an empty message and an empty list.
class TFrmUpdate : public QDialog {
    Q_OBJECT
public:
    explicit TFrmUpdate(QWidget* owner = nullptr);
    ~TFrmUpdate() override;

    // The check (started once by Timer1).
    void Timer1Timer();
    void Button1Click() {}
    void Button2Click();

    // The components listed, in order.
    QStringList componentNames() const;
    Ui::TFrmUpdate* form() const { return ui.get(); }
    QTimer* Timer1;

private:
    void FormCreate();
    void listComponents();

    std::unique_ptr<Ui::TFrmUpdate> ui;
};
