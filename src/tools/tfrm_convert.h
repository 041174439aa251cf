#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui {
class TFrm_Convert;
}
class QLineEdit;
class TFrm_Principal;

// The units conversion tool: feet and metres, psi and bar, degrees Fahrenheit and Celsius,
// pounds and kilograms, imperial on the left and metric on the right; typing a number on one
// side shows it converted on the other. Created once at start-up, it floats on top of the other
// windows or sits docked in the main window's tool panel (dragging it by its body onto the dive
// list docks it, dragging it out floats it again), and remembers both in the settings file.
class TFrm_Convert : public QWidget {
    Q_OBJECT
public:
    enum class Column { Left, Right };

    // `mainWindow` offers the dock panel and shows and hides the tool; it may be null.
    explicit TFrm_Convert(TFrm_Principal* mainWindow);
    // FormDestroy: saves the place and the docking.
    ~TFrm_Convert() override;

    // Creation handler: translation, the stored place, docking when it was docked.
    void FormCreate();

    Column ActiveColumn() const { return activeColumn_; }
    // Edit1 ... Edit8.
    QLineEdit* edit(int number) const;
    bool docked() const;

    // Edit1Enter ... Edit8Enter: the column of that edit becomes the active one.
    void EditEnter(int number);
    // Edit1Change ... Edit8Change: converts into the partner edit while its column is active.
    void EditChange(int number);
    void bt_closeClick();

    // What the other side shows for `value` typed in `column` of row `row` (0 to 3), with
    // the factors 0.3048, 14.5, 5/9 and 2.205.
    static double convert(int row, Column column, double value);
    // Two decimals, "." as separator, no grouping; more than ten whole digits in exponent form.
    static QString formatConverted(double value);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void FormShow();
    bool FormCloseQuery() const;
    void FormDestroy();
    void startDockDrag();

    std::unique_ptr<Ui::TFrm_Convert> ui;
    QPointer<TFrm_Principal> mainWindow_;
    Column activeColumn_ = Column::Left;
    QPoint pressedAt_;  // where a drag by the body started, inside the window
    bool pressed_ = false;
};

// The one instance, created at start-up after the main window.
extern TFrm_Convert* Frm_Convert;
