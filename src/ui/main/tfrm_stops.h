#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmStops;
}
class DataSource;

// The three decompression stops of the current dive: depth, duration and gas of each, edited
// in place in the dive's conditions record. Posting is left to the dive editor.
class TFrmStops : public QDialog {
    Q_OBJECT
public:
    // `conditions`: the data source of the current dive's conditions record.
    TFrmStops(QWidget* owner, DataSource* conditions);
    ~TFrmStops() override;

    void Button1Click();

private:
    void bindControls(DataSource* conditions);
    void FormCreate();

    std::unique_ptr<Ui::TFrmStops> ui;
};
