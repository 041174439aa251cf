#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TFrmDriveAdvanced;
}
class DataSource;

// What the advanced window lets the diver change on a dive with these "locked" and
// "certify_by" values: a locked dive nothing, a certified one all but its ascent and
// decompression types.
struct DriveAdvancedAccess {
    bool typesEditable = true;  // ascent and decompression
    bool lightsEditable = true;
    bool coordinatesEditable = true;
};
DriveAdvancedAccess driveAdvancedAccess(int locked, int certifyBy);

// Ascent and decompression type, light conditions and coordinates of the current dive, edited
// in place in the dive record. Opening it posts any pending change of the dive (after putting
// it into edit mode, so the editor fills in its defaults); later edits are posted by the editor.
class TFrmDriveAdvanced : public QDialog {
    Q_OBJECT
public:
    // Degrees, minutes, seconds and hemisphere of latitude, then of longitude, whose degrees
    // take up to three digits (east and west run to 180).
    static const QString kCoordinatesMask;

    // `dives`: the data source of the current dive. Throws AppError when the dive record
    // cannot be posted.
    TFrmDriveAdvanced(QWidget* owner, DataSource* dives);
    ~TFrmDriveAdvanced() override;

    void btOKClick();

private:
    void bindControls(DataSource* dives);
    void FormCreate();
    void applyAccess(const DriveAdvancedAccess& access);

    std::unique_ptr<Ui::TFrmDriveAdvanced> ui;
    DataSource* dives_;
};
