#pragma once

#include "ui/db/controls/data_aware.h"

#include <QCheckBox>

// Check box bound to a field: checked when the field holds the checked value, unchecked for
// anything else; a click stores the checked or unchecked value ("1" and "0" unless set).
class DbCheckBox : public QCheckBox, public DataAware {
    Q_OBJECT
public:
    explicit DbCheckBox(QWidget* parent = nullptr);
    DbCheckBox(const QString& text, QWidget* parent = nullptr);

    void setCheckValues(const QString& checked, const QString& unchecked);
    const QString& checkedValue() const { return checked_; }
    const QString& uncheckedValue() const { return unchecked_; }

protected:
    void showField() override;
    void applyReadOnly(bool) override {}
    void nextCheckState() override;

private:
    QString checked_ = QStringLiteral("1");
    QString unchecked_ = QStringLiteral("0");
};
