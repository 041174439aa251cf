#include "lookup_fixture.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/organization_tree.h"
#include "ui/lookup/tfrm_select_operator.h"

#include <QTimer>

namespace {

using CacheText::Organization;

LookupCache organizationCache(const QList<Organization>& organizations) {
    QStringList records;
    for (const Organization& organization : organizations) {
        records << CacheText::organization(organization);
    }
    LookupCache cache;
    cache.localData = CacheText::localData({CacheText::country("Mexico", {})}, records);
    return cache;
}

const QList<Organization> kOrganizations = {
    {"11", "Aldora Divers", true, false, "Mexico", "Quintana Roo", "Cozumel"},
    {"14", "Pro Dive Cairns", true, true, "Australia", "Queensland", "Cairns"},
    {"21", "Blue Water Academy", false, true, "Mexico", "Quintana Roo", ""},
};

struct OperatorFixture : LookupFixture {
    std::unique_ptr<TFrmSelectOperator> dialog;

    explicit OperatorFixture(const QList<Organization>& organizations = kOrganizations)
        : LookupFixture(organizationCache(organizations)) {}

    TFrmSelectOperator& open(int kind, int id, const QString& name) {
        dialog = std::make_unique<TFrmSelectOperator>(nullptr);
        dialog->OrganizationKind = kind;
        dialog->OrganizationId = id;
        dialog->OrganizationName = name;
        dialog->show();
        return *dialog;
    }

    void buildTree() {
        QVERIFY(dialog->Timer1->isActive());
        QCOMPARE(dialog->Timer1->interval(), 100);
        // The timer's own call, which reports failures.
        QVERIFY(QTest::qWaitFor([this] { return !dialog->Timer1->isActive(); }));
    }

    QString selected() const {
        const QModelIndexList indexes = dialog->ui->tlist->selectionModel()->selectedIndexes();
        return indexes.isEmpty() ? QString() : indexes.first().data().toString();
    }

    QModelIndex topLevel(const QString& text) const {
        const QAbstractItemModel* model = dialog->ui->tlist->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data() == text) {
                return model->index(row, 0);
            }
        }
        return {};
    }
};

}  // namespace

class TestSelectOperator : public QObject {
    Q_OBJECT
private slots:
    void showsTheOrganizationsOfItsKind_data();
    void showsTheOrganizationsOfItsKind();
    void selectReturnsTheCachedNameOfTheSelectedOrganization();
    void anythingButSelectOnAnOrganizationReturnsNoName_data();
    void anythingButSelectOnAnOrganizationReturnsNoName();
    void anIdThatIsNoNumberIsReportedAndKeepsTheValues();
    void chooseOrganizationIsTheButtonsEntryPoint();
};

void TestSelectOperator::showsTheOrganizationsOfItsKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("topLevel");
    QTest::addColumn<QString>("selected");

    QTest::newRow("operators") << OrganizationTree::kOperators << 11 << "Operator"
                               << QStringList{"Australia", "Mexico"} << "Aldora Divers";
    QTest::newRow("schools") << OrganizationTree::kSchools << 14 << "School"
                             << QStringList{"Australia", "Mexico"} << "Pro Dive Cairns";
    QTest::newRow("an id of the other kind preselects nothing")
        << OrganizationTree::kSchools << 11 << "School" << QStringList{"Australia", "Mexico"} << "";
}

void TestSelectOperator::showsTheOrganizationsOfItsKind() {
    QFETCH(int, kind);
    QFETCH(int, id);
    QFETCH(QString, heading);
    QFETCH(QStringList, topLevel);
    QFETCH(QString, selected);
    OperatorFixture f;
    TFrmSelectOperator& dialog = f.open(kind, id, QStringLiteral("Stored name"));
    QCOMPARE(dialog.ui->Label1->text(), heading);
    QCOMPARE(dialog.windowTitle(), heading);
    QCOMPARE(dialog.ui->ts_local->isVisible(), true);
    QCOMPARE(dialog.treeModel()->rowCount(), 0);
    f.buildTree();
    QStringList shown;
    for (int row = 0; row < dialog.treeModel()->rowCount(); ++row) {
        shown << dialog.treeModel()->index(row, 0).data().toString();
    }
    QCOMPARE(shown, topLevel);
    QCOMPARE(f.selected(), selected);
    QCOMPARE(dialog.ui->btSelect->isEnabled(), !selected.isEmpty());
    QCOMPARE(dialog.OrganizationId, 0);
    QVERIFY(dialog.OrganizationName.isEmpty());
}

// The name may differ from the one the record holds: the cache's is returned.
void TestSelectOperator::selectReturnsTheCachedNameOfTheSelectedOrganization() {
    OperatorFixture f;
    TFrmSelectOperator& dialog = f.open(OrganizationTree::kOperators, 11, "Aldora");
    f.buildTree();
    dialog.ui->btSelect->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.OrganizationId, 11);
    QCOMPARE(dialog.OrganizationName, QStringLiteral("Aldora Divers"));
}

void TestSelectOperator::anythingButSelectOnAnOrganizationReturnsNoName_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel") << "cancel";
    QTest::newRow("escape") << "escape";
    QTest::newRow("double click on a grouping node") << "group";
}

void TestSelectOperator::anythingButSelectOnAnOrganizationReturnsNoName() {
    QFETCH(QString, how);
    OperatorFixture f;
    TFrmSelectOperator& dialog = f.open(OrganizationTree::kOperators, 11, "Aldora");
    f.buildTree();
    if (how == QLatin1String("cancel")) {
        dialog.ui->BtCancel->click();
    } else if (how == QLatin1String("escape")) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
        dialog.ui->tlist->setCurrentIndex(f.topLevel(QStringLiteral("Mexico")));
        QVERIFY(!dialog.ui->btSelect->isEnabled());
        emit dialog.ui->tlist->doubleClicked(f.topLevel(QStringLiteral("Mexico")));
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.OrganizationId, 0);
    QVERIFY(dialog.OrganizationName.isEmpty());
}

// The tree keeps what was built before the entry; the values passed in stay.
void TestSelectOperator::anIdThatIsNoNumberIsReportedAndKeepsTheValues() {
    OperatorFixture f({{"11", "Aldora Divers", true, false, "Mexico", "", ""},
                       {"1x", "Broken", true, false, "Peru", "", ""},
                       {"12", "Scuba Tony", true, false, "Mexico", "", ""}});
    TFrmSelectOperator& dialog = f.open(OrganizationTree::kOperators, 11, "Aldora");
    f.buildTree();
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, QStringLiteral("'1x' is not a valid integer value"));
    QCOMPARE(f.prompts[0].icon, QMessageBox::Critical);
    QCOMPARE(dialog.treeModel()->rowCount(), 2);  // Mexico, and Peru's grouping node
    QCOMPARE(dialog.OrganizationId, 11);
    QCOMPARE(dialog.OrganizationName, QStringLiteral("Aldora"));
}

void TestSelectOperator::chooseOrganizationIsTheButtonsEntryPoint() {
    OperatorFixture f;
    QList<QVariantList> opened;
    bool pickSchool = true;
    Dialogs::setModalHandler([&](QDialog* window) {
        auto* dialog = qobject_cast<TFrmSelectOperator*>(window);
        opened << QVariantList{dialog->OrganizationKind, dialog->OrganizationId,
                               dialog->OrganizationName, dialog->parentWidget() != nullptr};
        dialog->show();
        dialog->Timer1Timer();
        if (pickSchool) {
            dialog->ui->btSelect->click();
        } else {
            dialog->ui->BtCancel->click();
        }
        return dialog->result();
    });
    QWidget owner;
    const auto chosen = chooseOrganization(&owner, OrganizationTree::kSchools, 21, "Blue Water");
    QVERIFY(chosen);
    QCOMPARE(chosen->id, 21);
    QCOMPARE(chosen->name, QStringLiteral("Blue Water Academy"));
    pickSchool = false;
    QVERIFY(!chooseOrganization(&owner, OrganizationTree::kSchools, 21, "Blue Water"));
    QCOMPARE(opened,
             (QList<QVariantList>{{4, 21, "Blue Water", true}, {4, 21, "Blue Water", true}}));
}

NEREVA_TEST_MAIN(TestSelectOperator)
#include "test_select_operator.moc"
