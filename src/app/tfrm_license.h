#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrm_License;
}
class QLabel;

// The About window: title, version line, support address and legal text.
class TFrm_License : public QDialog {
    Q_OBJECT
public:
    explicit TFrm_License(QWidget* owner);
    ~TFrm_License() override;

    QLabel* versionLabel() const;
    QLabel* linkLabel() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void Label2Click();

    std::unique_ptr<Ui::TFrm_License> ui;
};
