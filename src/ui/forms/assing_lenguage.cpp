#include "ui/forms/assing_lenguage.h"

#include "dictionary/tdm_idioma.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <functional>

namespace {

const char* const kCaptionProperty = "caption";

// Replaces `text` through `apply` when it is a key the dictionary knows.
void translate(const QString& text, const std::function<void(const QString&)>& apply) {
    const QString word = dmIdioma->ValidKey(text);
    if (!word.isEmpty()) {
        apply(word);
    }
}

bool insideStatusBar(const QObject* object, const QObject* form) {
    for (const QObject* at = object; at && at != form; at = at->parent()) {
        if (qobject_cast<const QStatusBar*>(at)) {
            return true;
        }
    }
    return false;
}

void translateTabs(QTabWidget* tabs) {
    for (int i = 0; i < tabs->count(); ++i) {
        translate(tabs->tabText(i), [&](const QString& word) { tabs->setTabText(i, word); });
    }
}

// The stored values (item data) stay, and a data-bound box must not write to its record.
void translateItems(QComboBox* box) {
    const QSignalBlocker blocker(box);
    for (int i = 0; i < box->count(); ++i) {
        translate(box->itemText(i), [&](const QString& word) { box->setItemText(i, word); });
    }
}

void translateHeaders(QAbstractItemView* view) {
    QAbstractItemModel* model = view->model();
    if (!model) {
        return;
    }
    for (int i = 0; i < model->columnCount(); ++i) {
        translate(model->headerData(i, Qt::Horizontal).toString(),
                  [&](const QString& word) { model->setHeaderData(i, Qt::Horizontal, word); });
    }
}

// The first class test that holds decides. Radio buttons and tool buttons are buttons too, so
// they are ruled out before the push button and check box rules.
void translateObject(QObject* object) {
    if (qobject_cast<QRadioButton*>(object) || qobject_cast<QToolButton*>(object)) {
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        translate(label->text(), [&](const QString& word) { label->setText(word); });
    } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
        translate(group->title(), [&](const QString& word) { group->setTitle(word); });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(object)) {
        translateTabs(tabs);
    } else if (auto* check = qobject_cast<QCheckBox*>(object)) {
        translate(check->text(), [&](const QString& word) { check->setText(word); });
    } else if (auto* button = qobject_cast<QPushButton*>(object)) {
        translate(button->text(), [&](const QString& word) { button->setText(word); });
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        translate(action->text(), [&](const QString& word) { action->setText(word); });
    } else if (auto* menu = qobject_cast<QMenu*>(object)) {
        translate(menu->title(), [&](const QString& word) { menu->setTitle(word); });
    } else if (auto* box = qobject_cast<QComboBox*>(object)) {
        translateItems(box);
    } else if (qobject_cast<QTreeView*>(object) || qobject_cast<QTableView*>(object) ||
               qobject_cast<QListView*>(object)) {
        translateHeaders(static_cast<QAbstractItemView*>(object));
    }
    // Report labels are plain objects carrying their caption as the dynamic property
    // "caption"; any object that has one is translated as well.
    const QVariant caption = object->property(kCaptionProperty);
    if (caption.metaType().id() == QMetaType::QString) {
        translate(caption.toString(),
                  [&](const QString& word) { object->setProperty(kCaptionProperty, word); });
    }
}

// Everything the form owns, in creation order, then its own actions not owned by it. Held
// weakly: translating may delete helpers (a label whose key reads as an HTML tag, such as
// <address>, drops its rich-text control when its text is replaced).
QList<QPointer<QObject>> ownedObjects(QWidget* form) {
    QList<QPointer<QObject>> objects;
    for (QObject* child : form->findChildren<QObject*>()) {
        objects << child;
    }
    for (QAction* action : form->actions()) {
        if (!objects.contains(action)) {
            objects << action;
        }
    }
    return objects;
}

}  // namespace

void AssingLenguage(QWidget* form) {
    if (!form || !dmIdioma || !dmIdioma->active()) {
        return;
    }
    translate(form->windowTitle(), [&](const QString& word) { form->setWindowTitle(word); });
    for (const QPointer<QObject>& object : ownedObjects(form)) {
        if (object && !insideStatusBar(object, form)) {
            translateObject(object);
        }
    }
}
