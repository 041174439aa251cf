#pragma once

#include <QDialog>
#include <QString>
#include <optional>

namespace Ui {
class TFrmSelectOperator;
}
class LookupTreeModel;
class QTimer;

// An organization of one kind, dive operators or schools, chosen from the cached reference data
// as a tree grouped by country, state and county. The caller sets the kind, the record's
// current id and name, shows the dialog modally and reads them back: once the tree is built
// they are reset, so only a Select on an organization returns a name.
class TFrmSelectOperator : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSelectOperator(QWidget* owner);
    ~TFrmSelectOperator() override;

    int OrganizationKind = 0;  // OrganizationTree::kOperators or kSchools
    int OrganizationId = 0;
    QString OrganizationName;

    Ui::TFrmSelectOperator* const ui;
    QTimer* const Timer1;  // one-shot deferral of the tree build
    const LookupTreeModel* treeModel() const { return model_; }

    void FormShow();
    void ts_localShow();
    void Timer1Timer();
    void tlistGetSelectedIndex();
    void btSelectClick();
    void BtCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void connectHandlers();
    int selectedNode() const;

    LookupTreeModel* model_;
};

// What an organization button does: opens the selection over organizations of `kind` with
// the record's current `id` and `name` (the dialog preselects that organization) and returns
// the organization chosen, or nothing when the diver chose none.
struct ChosenOrganization {
    int id = 0;
    QString name;
};
std::optional<ChosenOrganization> chooseOrganization(QWidget* owner, int kind, int id,
                                                     const QString& name);
