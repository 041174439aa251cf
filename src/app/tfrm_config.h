#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrm_config;
}

// The environment options: preferences, the language of the next start, default units of new
// dives and the connection settings. It changes only the fields of the settings module; they
// reach the settings file at program end.
class TFrm_config : public QDialog {
    Q_OBJECT
public:
    explicit TFrm_config(QWidget* owner);
    ~TFrm_config() override;

    Ui::TFrm_config* form() const { return ui.get(); }

    void bt_okClick();
    void bt_cancelClick();

private:
    void FormCreate();
    void fillLanguages();
    void storeLanguage();

    QString shownLanguage_;  // the language the list showed when the dialog opened

    std::unique_ptr<Ui::TFrm_config> ui;
};
