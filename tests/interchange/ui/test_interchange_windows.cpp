// The import and export windows as the main window's commands open them: the preview and its
// marks, the choice for dives already in the log, refused files, stopping a long reading, the
// list after an import, and exports of the whole log or of chosen dives.
#include "interchange/ui/interchange_commands.h"
#include "interchange/ui/tfrm_export.h"
#include "interchange/ui/tfrm_import.h"
#include "main_fixture.h"
#include "store/table_data.h"
#include "ui/db/db_grid_model.h"
#include "ui_tfrm_export.h"
#include "ui_tfrm_import.h"

#include <QFileDialog>
#include <QTimer>

namespace {

QString dataPath(const QString& file) {
    return QDir(QString::fromLocal8Bit(qgetenv("NEREVA_SOURCE_DIR")))
        .filePath(QStringLiteral("tests/data/") + file);
}

// Runs `handle` on the first modal window of class `T`; file windows get `file`.
template <typename T>
void answerModals(const std::function<int(T*)>& handle, const QString& file = {}) {
    Dialogs::setModalHandler([handle, file](QDialog* dialog) {
        if (auto* chooser = qobject_cast<QFileDialog*>(dialog)) {
            if (file.isEmpty()) {
                return int(QDialog::Rejected);
            }
            chooser->selectFile(file);
            return int(QDialog::Accepted);
        }
        if (auto* window = qobject_cast<T*>(dialog)) {
            return handle(window);
        }
        return int(QDialog::Rejected);
    });
}

QString cell(QAbstractItemModel* model, int row, int column) {
    return model->data(model->index(row, column)).toString();
}

int linesOf(const QString& path) {
    return int(TestSupport::readFile(path).count("\r\n"));
}

}  // namespace

class TestInterchangeWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void previewThenImport();
    void duplicatesMergedFromTheWindow();
    void refusedFileAddsNothing();
    void stopWhileReading();
    void exportWholeLogAsUddf();
    void exportChosenDivesAsCsv();
};

void TestInterchangeWindows::previewThenImport() {
    MainFixture f;
    f.addDive(QDate(2009, 10, 22), QStringLiteral("Scapa Flow, typed"));
    f.tables->cds_dives->edit();
    f.tables->cds_dives->setValue(QStringLiteral("Time_Start"), QTime(15, 32));
    f.tables->cds_dives->post();
    TFrm_Principal* window = f.open();
    QStringList preview;
    QString summary;
    answerModals<TFrmImport>(
        [&](TFrmImport* dialog) {
            dialog->bt_fileClick();  // the file window answers with the file
            QAbstractItemModel* model = dialog->form()->lv_preview->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                preview << cell(model, row, 0) + ' ' + cell(model, row, 1) + ' ' +
                               cell(model, row, 4) + ' ' + cell(model, row, 7);
            }
            if (!dialog->form()->bt_import->isEnabled() || !dialog->form()->rb_skip->isChecked()) {
                return int(QDialog::Rejected);
            }
            dialog->bt_importClick();
            summary = dialog->form()->lb_summary->text();
            dialog->bt_closeClick();
            return dialog->result();
        },
        dataPath("kenozooid-3.0.0.uddf"));
    runImportCommand(*window);
    QCOMPARE(preview,
             QStringList({"10/22/2009 15:32 30.3 m in_log", "10/29/2010 06:02 29.4 m new_dive"}));
    QCOMPARE(summary, QStringLiteral("1 txt_dives_imported\n1 txt_dives_skipped"));
    // The list shows the new dive, and it is the current one.
    QCOMPARE(window->divesGridModel()->dataSource(), window->ds_dives);
    QCOMPARE(window->divesGridModel()->rowCount(), 2);
    QCOMPARE(f.tables->cds_dives->value(QStringLiteral("Date")).toDate(), QDate(2010, 10, 29));
    QCOMPARE(f.tables->cds_dives->value(QStringLiteral("Location")).toString(),
             QStringLiteral("Scapa Flow"));
}

void TestInterchangeWindows::duplicatesMergedFromTheWindow() {
    MainFixture f;
    f.addDive(QDate(2009, 10, 22), QString());
    f.tables->cds_dives->edit();
    f.tables->cds_dives->setValue(QStringLiteral("Time_Start"), QTime(15, 32, 43));
    f.tables->cds_dives->post();
    TFrm_Principal* window = f.open();
    answerModals<TFrmImport>([&](TFrmImport* dialog) {
        dialog->readFile(dataPath("kenozooid-3.0.0.uddf"));
        dialog->form()->rb_merge->setChecked(true);
        dialog->bt_importClick();
        return int(QDialog::Accepted);
    });
    runImportCommand(*window);
    QCOMPARE(f.tables->cds_dives->recordCount(), 2);
    f.tables->cds_dives->first();
    QCOMPARE(f.tables->cds_dives->value(QStringLiteral("Location")).toString(),
             QStringLiteral("Scapa Flow"));
    QCOMPARE(f.tables->cds_profile->recordCount(), 40);
}

void TestInterchangeWindows::refusedFileAddsNothing() {
    MainFixture f;
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    const quint64 changes = f.tables->cds_dives->changeCount();
    TestSupport::writeFile("broken.uddf",
                           "<uddf version='3.2.0'>\n<profiledata>\n<dive>\n"
                           "</profiledata></uddf>");
    TFrm_Principal* window = f.open();
    bool importable = true;
    answerModals<TFrmImport>([&](TFrmImport* dialog) {
        importable = dialog->readFile(QDir::current().filePath("broken.uddf")) ||
                     dialog->form()->bt_import->isEnabled() || dialog->pending();
        dialog->bt_importClick();  // does nothing without a file read
        return int(QDialog::Rejected);
    });
    runImportCommand(*window);
    QVERIFY(!importable);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].contains("Line 4:"), qPrintable(f.messages[0]));
    QCOMPARE(f.tables->cds_dives->changeCount(), changes);
    QCOMPARE(f.tables->cds_dives->recordCount(), 1);
}

// Close during a long reading stops it; the window stays, nothing is pending.
void TestInterchangeWindows::stopWhileReading() {
    MainFixture f;
    QByteArray big = "<uddf version='3.2.0'><profiledata><repetitiongroup id='g'>";
    for (int i = 0; i < 4000; ++i) {
        big += QStringLiteral(
                   "<dive id='d%1'><informationbeforedive><datetime>2020-01-01T00:00:00"
                   "</datetime></informationbeforedive><samples>")
                   .arg(i)
                   .toLatin1();
        for (int s = 0; s < 30; ++s) {
            big += "<waypoint><depth>10</depth><divetime>" + QByteArray::number(s * 10) +
                   "</divetime></waypoint>";
        }
        big +=
            "</samples><informationafterdive><greatestdepth>10</greatestdepth>"
            "</informationafterdive></dive>";
    }
    big += "</repetitiongroup></profiledata></uddf>";
    TestSupport::writeFile("big.uddf", big);
    TFrmImport dialog(nullptr);
    QTimer::singleShot(0, &dialog, [&] { dialog.bt_closeClick(); });
    QVERIFY(!dialog.readFile(QDir::current().filePath("big.uddf")));
    QCOMPARE(dialog.form()->lb_found->text(), QStringLiteral("txt_reading_stopped"));
    QVERIFY(!dialog.pending());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.form()->bt_close->text(), QStringLiteral("close"));
}

void TestInterchangeWindows::exportWholeLogAsUddf() {
    MainFixture f;
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    f.addDive(QDate(2024, 3, 5), QStringLiteral("Dahab"));
    TFrm_Principal* window = f.open();
    const QString path = QDir::current().filePath("log.uddf");
    int written = -1;
    answerModals<TFrmExport>(
        [&](TFrmExport* dialog) {
            dialog->bt_exportClick();
            written = dialog->written();
            return dialog->result();
        },
        path);
    runExportCommand(*window);
    QCOMPARE(written, 2);
    QCOMPARE(f.messages, QStringList({"2 txt_dives_exported\n" + path}));
    const auto read = LogReader::read(path);
    QVERIFY(read);
    QCOMPARE(int(read->dives.size()), 2);
    QCOMPARE(read->dives[1].location, QStringLiteral("Dahab"));
}

// The current dive is chosen to begin with; the chosen rows go out, nothing when the file
// window is cancelled.
void TestInterchangeWindows::exportChosenDivesAsCsv() {
    MainFixture f;
    for (int day = 1; day <= 4; ++day) {
        f.addDive(QDate(2024, 3, day), QStringLiteral("Dive %1").arg(day));
    }
    TFrm_Principal* window = f.open();
    f.tables->cds_dives->setRecNo(2);
    const QString path = QDir::current().filePath("chosen.csv");
    QSet<int> firstChoice;
    answerModals<TFrmExport>(
        [&](TFrmExport* dialog) {
            dialog->form()->rb_csv->setChecked(true);
            dialog->form()->rb_selected->setChecked(true);
            firstChoice = dialog->chosenDives();
            dialog->form()->lv_dives->selectionModel()->select(
                dialog->form()->lv_dives->model()->index(3, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            dialog->bt_exportClick();
            return dialog->result();
        },
        path);
    runExportCommand(*window);
    QCOMPARE(firstChoice, QSet<int>({2}));
    QCOMPARE(linesOf(path), 3);  // the titles and two dives
    QVERIFY(TestSupport::readFile(path).contains("Dive 2"));
    QVERIFY(TestSupport::readFile(path).contains("Dive 4"));

    QFile::remove(path);
    answerModals<TFrmExport>([&](TFrmExport* dialog) {
        dialog->bt_exportClick();  // the file window is cancelled
        return dialog->result();
    });
    runExportCommand(*window);
    QVERIFY(!QFile::exists(path));
}

NEREVA_TEST_MAIN(TestInterchangeWindows)
#include "test_interchange_windows.moc"
