#include "dictionary/tdm_idioma.h"
#include "test_support.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

using TestSupport::writeFile;

namespace {

const QByteArray kDictionary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<language><config><code>xx</code></config><dictionary>"
    "<title>Window</title><address>Address</address><low>Low</low><panel>Panel</"
    "panel><group>Group</group>"
    "<items><page>Page</page><check>Check</check><button>Button</button></items>"
    "<texts><radio>Radio</radio><tool>Tool</tool><col>Column</col><tip>Tip</tip></texts>"
    "<actions><system>&amp;System</system><save_as>Save As</save_as><item>Item</item>"
    "<loose>Loose</loose></actions>"
    "</dictionary></language>";

// Stands for the data-aware check box, which derives from QCheckBox.
class DataCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;
};

// A window holding one of every kind of control the translation knows or must leave alone.
struct Form {
    QMainWindow window;
    QLabel* label;
    QLabel* panel;
    QLabel* plainLabel;
    QGroupBox* group;
    QLabel* nestedLabel;
    QTabWidget* tabs;
    QCheckBox* check;
    DataCheckBox* dataCheck;
    QPushButton* button;
    QRadioButton* radio;
    QToolButton* tool;
    QAction* action;
    std::unique_ptr<QAction> looseAction;
    QMenu* menu;
    QAction* menuItem;
    QComboBox* combo;
    QComboBox* boundCombo;
    QTreeWidget* tree;
    QTableWidget* table;
    QStandardItemModel* model;
    QTreeView* treeView;
    QListView* listView;
    QLabel* statusLabel;
    QObject* reportLabel;

    Form() {
        window.setWindowTitle("<title>");
        auto* central = new QWidget(&window);
        window.setCentralWidget(central);
        auto* layout = new QVBoxLayout(central);
        label = add<QLabel>(layout, "<low>");
        label->setToolTip("<tip>");
        panel = add<QLabel>(layout, "<panel>");
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        plainLabel = add<QLabel>(layout, "low");
        group = new QGroupBox("<group>");
        layout->addWidget(group);
        nestedLabel = new QLabel("<low>", group);
        tabs = new QTabWidget;
        layout->addWidget(tabs);
        tabs->addTab(new QWidget, "<page>");
        tabs->addTab(new QWidget, "<missing_page>");
        check = add<QCheckBox>(layout, "<check>");
        dataCheck = add<DataCheckBox>(layout, "<check>");
        button = add<QPushButton>(layout, "<button>");
        radio = add<QRadioButton>(layout, "<radio>");
        tool = new QToolButton;
        tool->setText("<tool>");
        layout->addWidget(tool);
        addActionsAndMenus();
        addComboBoxes(layout);
        addViews(layout);
        statusLabel = new QLabel("<low>");
        window.statusBar()->addWidget(statusLabel);
        reportLabel = new QObject(&window);
        reportLabel->setProperty("caption", QString("<low>"));
    }

    template <class Widget>
    Widget* add(QVBoxLayout* layout, const QString& text) {
        auto* widget = new Widget(text);
        layout->addWidget(widget);
        return widget;
    }

    void addActionsAndMenus() {
        action = new QAction("<Save &As>", &window);
        looseAction = std::make_unique<QAction>("<loose>");
        window.addAction(looseAction.get());
        menu = window.menuBar()->addMenu("<system>");
        menuItem = menu->addAction("<item>");
    }

    void addComboBoxes(QVBoxLayout* layout) {
        combo = new QComboBox;
        layout->addWidget(combo);
        combo->addItem("<low>", 10);
        combo->addItem("plain", 20);
        combo->addItem("<missing>", 30);
        boundCombo = new QComboBox;
        layout->addWidget(boundCombo);
        boundCombo->addItem("<low>", 1);
        boundCombo->addItem("<missing>", 2);
        boundCombo->setCurrentIndex(0);
    }

    void addViews(QVBoxLayout* layout) {
        tree = new QTreeWidget;
        layout->addWidget(tree);
        tree->setHeaderLabels({"<col>", "plain", "<missing>"});
        table = new QTableWidget(1, 2);
        layout->addWidget(table);
        table->setHorizontalHeaderLabels({"<col>", "<missing>"});
        model = new QStandardItemModel(0, 2, &window);
        model->setHorizontalHeaderLabels({"<col>", "<low>"});
        treeView = new QTreeView;
        treeView->setModel(model);
        layout->addWidget(treeView);
        auto* listModel = new QStandardItemModel(0, 1, &window);
        listModel->setHorizontalHeaderLabels({"<col>"});
        listView = new QListView;
        listView->setModel(listModel);
        layout->addWidget(listView);
    }
};

// The global dictionary, loaded from kDictionary, for as long as the object lives.
class LoadedDictionary {
public:
    LoadedDictionary() {
        writeFile("language.xml", kDictionary);
        dictionary.DataModuleCreate();
        dmIdioma = &dictionary;
    }
    ~LoadedDictionary() { dmIdioma = nullptr; }
    TdmIdioma dictionary;
};

QString header(QAbstractItemView* view, int column) {
    return view->model()->headerData(column, Qt::Horizontal).toString();
}

}  // namespace

class TestAssingLenguage : public QObject {
    Q_OBJECT
private slots:
    void translatesEveryKnownClass();
    void comboBoxKeepsValuesAndRecord();
    void nothingChangesWithoutDictionary_data();
    void nothingChangesWithoutDictionary();
    void labelWhoseKeyReadsAsHtml();
    void messageBoxButtons_data();
    void messageBoxButtons();
};

void TestAssingLenguage::translatesEveryKnownClass() {
    TestSupport::TempFolders folders;
    LoadedDictionary loaded;
    Form form;
    AssingLenguage(&form.window);

    QCOMPARE(form.window.windowTitle(), QString("Window"));
    QCOMPARE(form.label->text(), QString("Low"));
    QCOMPARE(form.label->toolTip(), QString("<tip>"));
    QCOMPARE(form.panel->text(), QString("Panel"));
    QCOMPARE(form.plainLabel->text(), QString("low"));
    QCOMPARE(form.group->title(), QString("Group"));
    QCOMPARE(form.nestedLabel->text(), QString("Low"));
    QCOMPARE(form.tabs->tabText(0), QString("Page"));
    QCOMPARE(form.tabs->tabText(1), QString("<missing_page>"));
    QCOMPARE(form.check->text(), QString("Check"));
    QCOMPARE(form.dataCheck->text(), QString("Check"));
    QCOMPARE(form.button->text(), QString("Button"));
    QCOMPARE(form.radio->text(), QString("<radio>"));
    QCOMPARE(form.tool->text(), QString("<tool>"));
    QCOMPARE(form.action->text(), QString("Save As"));
    QCOMPARE(form.looseAction->text(), QString("Loose"));
    QCOMPARE(form.menu->title(), QString("&System"));
    QCOMPARE(form.menuItem->text(), QString("Item"));
    QCOMPARE(form.combo->itemText(0), QString("Low"));
    QCOMPARE(form.combo->itemText(1), QString("plain"));
    QCOMPARE(form.combo->itemText(2), QString("<missing>"));
    QCOMPARE(form.tree->headerItem()->text(0), QString("Column"));
    QCOMPARE(form.tree->headerItem()->text(1), QString("plain"));
    QCOMPARE(form.tree->headerItem()->text(2), QString("<missing>"));
    QCOMPARE(form.table->horizontalHeaderItem(0)->text(), QString("Column"));
    QCOMPARE(form.table->horizontalHeaderItem(1)->text(), QString("<missing>"));
    QCOMPARE(header(form.treeView, 0), QString("Column"));
    QCOMPARE(header(form.treeView, 1), QString("Low"));
    QCOMPARE(header(form.listView, 0), QString("Column"));
    QCOMPARE(form.statusLabel->text(), QString("<low>"));
    QCOMPARE(form.reportLabel->property("caption").toString(), QString("Low"));
    QCOMPARE(loaded.dictionary.MissingKeys(),
             QStringList({"<missing></missing>", "<missing_page></missing_page>"}));
}

void TestAssingLenguage::comboBoxKeepsValuesAndRecord() {
    TestSupport::TempFolders folders;
    LoadedDictionary loaded;
    Form form;
    QSignalSpy indexChanges(form.boundCombo, &QComboBox::currentIndexChanged);
    QSignalSpy textChanges(form.boundCombo, &QComboBox::currentTextChanged);
    AssingLenguage(&form.window);
    QCOMPARE(form.boundCombo->currentText(), QString("Low"));
    QCOMPARE(form.boundCombo->currentIndex(), 0);
    QCOMPARE(indexChanges.count(), 0);
    QCOMPARE(textChanges.count(), 0);
    QCOMPARE(form.boundCombo->itemData(0).toInt(), 1);
    QCOMPARE(form.combo->itemData(0).toInt(), 10);
    QCOMPARE(form.combo->itemData(2).toInt(), 30);
    QVERIFY(!form.boundCombo->signalsBlocked());
}

void TestAssingLenguage::nothingChangesWithoutDictionary_data() {
    QTest::addColumn<bool>("module");
    QTest::newRow("no dictionary module") << false;
    QTest::newRow("dictionary file missing") << true;
}

void TestAssingLenguage::nothingChangesWithoutDictionary() {
    QFETCH(bool, module);
    TestSupport::TempFolders folders;
    TdmIdioma dictionary;
    if (module) {
        QVERIFY_THROWS_EXCEPTION(std::exception, dictionary.DataModuleCreate());
        dmIdioma = &dictionary;
    }
    Form form;
    AssingLenguage(&form.window);
    QCOMPARE(form.window.windowTitle(), QString("<title>"));
    QCOMPARE(form.label->text(), QString("<low>"));
    QCOMPARE(form.tabs->tabText(0), QString("<page>"));
    QCOMPARE(form.action->text(), QString("<Save &As>"));
    QCOMPARE(form.menu->title(), QString("<system>"));
    QCOMPARE(form.combo->itemText(0), QString("<low>"));
    QCOMPARE(header(form.treeView, 0), QString("<col>"));
    QCOMPARE(form.reportLabel->property("caption").toString(), QString("<low>"));
    dmIdioma = nullptr;
}

// A key such as <address> reads as rich text: the label keeps a text control for it, which
// goes when the translation replaces the text, while the translation is still walking.
void TestAssingLenguage::labelWhoseKeyReadsAsHtml() {
    TestSupport::TempFolders folders;
    LoadedDictionary loaded;
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* address = new QLabel(QStringLiteral("<address>"), &form);
    layout->addWidget(address);
    address->sizeHint();  // lays the rich text out
    auto* next = new QLabel(QStringLiteral("<low>"), &form);
    layout->addWidget(next);
    AssingLenguage(&form);
    QCOMPARE(address->text(), QString("Address"));
    QCOMPARE(next->text(), QString("Low"));
}

void TestAssingLenguage::messageBoxButtons_data() {
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QStringList>("expected");  // Yes, No, Retry, Discard
    QTest::newRow("from the dictionary")
        << true << QStringList{QString::fromUtf8("Sí"), "No", "Reintentar", "Discard"};
    QTest::newRow("no dictionary") << false << QStringList{"&Yes", "&No", "Retry", "Discard"};
}

// The standard buttons speak the dictionary's language; a key it lacks keeps Qt's caption.
void TestAssingLenguage::messageBoxButtons() {
    QFETCH(bool, loaded);
    QFETCH(QStringList, expected);
    TestSupport::TempFolders folders;
    writeFile("language.xml", QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><language>"
                                         "<dictionary><actions><yes>S\xC3\xAD</yes><no>No</no>"
                                         "<retry>Reintentar</retry></actions></dictionary>"
                                         "</language>"));
    TdmIdioma dictionary;
    if (loaded) {
        dictionary.DataModuleCreate();
        dmIdioma = &dictionary;
    }
    QMessageBox box(QMessageBox::Question, "", "",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Retry | QMessageBox::Discard);
    Dialogs::translateButtons(box);
    dmIdioma = nullptr;
    QStringList captions;
    for (auto button :
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Retry, QMessageBox::Discard}) {
        captions << box.button(button)->text();
    }
    QCOMPARE(captions, expected);
}

NEREVA_TEST_MAIN(TestAssingLenguage)
#include "test_assing_lenguage.moc"
