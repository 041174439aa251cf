#pragma once

#include "cache/tdm_local_data.h"
#include "sync_fixture.h"
#include "ui/forms/dialogs.h"
#include "ui/profile/profile_forms.h"

#include <QDialog>
#include <functional>

// The modules the profile windows run on, with the shipped dictionary, the service's roots
// (registration included) on an in-process stand-in, and the message boxes and modal windows
// answered by the test: boxes are recorded and answered with `answer`, modal windows are run
// by `onModal` (closed with Rejected while it is unset).
struct ProfileFixture : SyncFixture {
    struct Shown {
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    QList<Shown> messages;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    std::function<int(QDialog*)> onModal;

    ProfileFixture() : SyncFixture(shippedDictionary()) {
        settings->UrlRegister = service.root() + QStringLiteral("serv0.9/register/");
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& prompt) {
            messages.append({prompt.text, prompt.icon, prompt.buttons});
            return answer;
        });
        Dialogs::setModalHandler(
            [this](QDialog* dialog) { return onModal ? onModal(dialog) : int(QDialog::Rejected); });
    }

    ~ProfileFixture() {
        Dialogs::setModalHandler({});
        Dialogs::setMessageHandler({});
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const Shown& shown : messages) {
            texts << shown.text;
        }
        return texts;
    }

    // Replaces the cached reference document.
    void setReference(const QByteArray& xml) {
        XmlDocument document;
        QVERIFY_THROWS_NO_EXCEPTION(
            document = XmlDocument::parse(xml, QStringLiteral("The reference fixture")));
        TdmLocalData::replaceRoot(cache->XMLLocalData, document.documentElement());
    }

    void addCertificate(const QVariantMap& values) {
        tables->cds_certif->append();
        writeAll(tables->cds_certif, values);
        tables->cds_certif->post();
    }

    static QString word(const char* key) { return dmIdioma->GetWord(QString::fromLatin1(key)); }
};

inline void typeInto(QWidget* control, const QString& keys) {
    control->setFocus();
    QTest::keyClicks(control, keys);
}

// The widgets among `names` in the order Tab visits them, starting from the first.
inline QStringList tabOrder(QWidget* window, const QStringList& names) {
    QStringList visited;
    QWidget* at = window->findChild<QWidget*>(names.first());
    for (int steps = 0; at && steps < 500 && visited.size() < names.size(); ++steps) {
        if (names.contains(at->objectName()) && !visited.contains(at->objectName())) {
            visited << at->objectName();
        }
        at = at->nextInFocusChain();
    }
    return visited;
}
