#include "ui/lookup/tfrm_select_operator.h"

#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_request.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/lookup/organization_tree.h"
#include "ui/main/main_icons.h"
#include "ui_tfrm_select_operator.h"

#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kIconSize = 32;
constexpr int kTreeDelay = 100;

XmlElement cachedOrganizations() {
    return dmLocalData->XMLLocalData.doc.documentElement().firstChildElement(
        QStringLiteral("organizations"));
}

}  // namespace

TFrmSelectOperator::TFrmSelectOperator(QWidget* owner)
    : QDialog(owner),
      ui(new Ui::TFrmSelectOperator),
      Timer1(new QTimer(this)),
      model_(new LookupTreeModel(this)) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    Timer1->setInterval(kTreeDelay);
    Timer1->setSingleShot(true);
    ui->tlist->setModel(model_);
    keepSelectionVisible(ui->tlist);
    FormCreate();
    connectHandlers();
}

TFrmSelectOperator::~TFrmSelectOperator() {
    delete ui;
}

void TFrmSelectOperator::FormCreate() {
    AssingLenguage(this);
    ui->Image1->setPixmap(MainIcons::synchronize().pixmap(kIconSize, kIconSize));
}

void TFrmSelectOperator::connectHandlers() {
    const auto command = [this](void (TFrmSelectOperator::*handler)()) {
        return asCommand(this, this, handler);
    };
    connect(Timer1, &QTimer::timeout, this, command(&TFrmSelectOperator::Timer1Timer));
    connect(ui->tlist->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFrmSelectOperator::tlistGetSelectedIndex);
    connect(ui->tlist, &QTreeView::doubleClicked, this, &TFrmSelectOperator::btSelectClick);
    connect(ui->btSelect, &QPushButton::clicked, this, &TFrmSelectOperator::btSelectClick);
    connect(ui->BtCancel, &QPushButton::clicked, this, &TFrmSelectOperator::BtCancelClick);
}

void TFrmSelectOperator::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFrmSelectOperator::FormShow() {
    if (OrganizationKind == OrganizationTree::kOperators) {
        ui->Label1->setText(dmIdioma->GetWord(QStringLiteral("operator")));
    } else if (OrganizationKind == OrganizationTree::kSchools) {
        ui->Label1->setText(dmIdioma->GetWord(QStringLiteral("school")));
    }
    setWindowTitle(ui->Label1->text());
    ts_localShow();
}

void TFrmSelectOperator::ts_localShow() {
    Timer1->start();
}

// A failed build leaves the values passed in as they were.
void TFrmSelectOperator::Timer1Timer() {
    Timer1->stop();
    const WaitCursor hourglass;
    model_->rebuild([this](LookupTree& tree) {
        OrganizationTree::build(cachedOrganizations(), OrganizationKind, tree);
    });
    const int node = OrganizationTree::preselection(model_->tree(), OrganizationId);
    if (node >= 0) {
        ui->tlist->setCurrentIndex(model_->indexOf(node));
        ui->tlist->scrollTo(model_->indexOf(node));
    }
    OrganizationId = 0;
    OrganizationName.clear();
}

int TFrmSelectOperator::selectedNode() const {
    const QModelIndexList selected = ui->tlist->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : LookupTreeModel::nodeOf(selected.first());
}

void TFrmSelectOperator::tlistGetSelectedIndex() {
    const int node = selectedNode();
    if (node >= 0) {
        ui->btSelect->setEnabled(model_->tree().node(node).tag > 0);
    }
}

void TFrmSelectOperator::btSelectClick() {
    const int node = selectedNode();
    if (node >= 0 && model_->tree().node(node).tag > 0) {
        OrganizationId = model_->tree().node(node).tag;
        OrganizationName = model_->tree().node(node).text;
    }
    accept();
}

void TFrmSelectOperator::BtCancelClick() {
    reject();
}

std::optional<ChosenOrganization> chooseOrganization(QWidget* owner, int kind, int id,
                                                     const QString& name) {
    TFrmSelectOperator dialog(owner);
    dialog.OrganizationKind = kind;
    dialog.OrganizationId = id;
    dialog.OrganizationName = name;
    Dialogs::execModal(&dialog);
    if (dialog.OrganizationName.isEmpty()) {
        return std::nullopt;
    }
    return ChosenOrganization{dialog.OrganizationId, dialog.OrganizationName};
}
