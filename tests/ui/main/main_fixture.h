#pragma once

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "module_set.h"
#include "net/tinet_detect.h"
#include "store/tdm_rdp.h"
#include "test_support.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"

#include <QDialog>
#include <QStringList>
#include <memory>

// The modules the main window is built on, in start-up order, over fresh data and working
// folders; message boxes, modal windows (closed with Rejected) and opened web pages are
// recorded instead of shown.
struct MainFixture {
    TestSupport::TempFolders folders;
    ModuleSet modules;
    std::unique_ptr<Tdm_const>& settings = modules.settings;
    std::unique_ptr<TdmIdioma>& dictionary = modules.dictionary;
    std::unique_ptr<Tdm_rdp>& tables = modules.tables;
    std::unique_ptr<TFrm_Principal> window;
    QStringList messages;
    QStringList modalWindows;  // class names
    QStringList openedUrls;

    explicit MainFixture(const QByteArray& languageFile = {}) : modules(languageFile) {
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& prompt) {
            messages << prompt.text;
            return QMessageBox::Ok;
        });
        Dialogs::setModalHandler([this](QDialog* dialog) {
            modalWindows << QString::fromLatin1(dialog->metaObject()->className());
            return int(QDialog::Rejected);
        });
        Tdm_const::setUrlOpener([this](const QString& url) { openedUrls << url; });
        TINetDetect::setInterfaceLister([] { return QVector<NetInterfaceInfo>(); });
    }

    ~MainFixture() {
        window.reset();
        TINetDetect::setInterfaceLister({});
        Tdm_const::setUrlOpener({});
        Dialogs::setModalHandler({});
        Dialogs::setMessageHandler({});
    }

    // A new main window as start-up makes it, for a screen of the given size.
    TFrm_Principal* open(const QRect& screen = QRect(0, 0, 1024, 768)) {
        window = std::make_unique<TFrm_Principal>();
        window->FormCreate(screen);
        return window.get();
    }

    TFrm_Principal* openShown(const QRect& screen = QRect(0, 0, 1024, 768)) {
        open(screen);
        window->show();
        QApplication::processEvents();
        return window.get();
    }

    // Closes the window as the user does and forgets it.
    void closeWindow() {
        window->close();
        window.reset();
    }

    TIniFile& ini() { return *settings->IniFile; }
    int position(const char* key) { return ini().readInteger("Position", key, -99); }

    void addDive(const QDate& date, const QString& location) {
        Table* dives = tables->cds_dives;
        dives->append();
        dives->setValue(QStringLiteral("Date"), date);
        dives->setValue(QStringLiteral("Location"), location);
        dives->post();
        tables->cds_conditions->append();
        tables->cds_conditions->setValue(QStringLiteral("bottom_time"), location.left(5));
        tables->cds_conditions->post();
    }

    void setMember(const QString& inetUser) {
        Table* info = tables->cds_info;
        if (info->recordCount() == 0) {
            info->append();
        } else {
            info->edit();
        }
        info->setValue(QStringLiteral("inet_user"), inetUser);
        info->post();
    }

    // Dial-up mode, with or without a point-to-point interface: online exactly with one.
    void setOnline(bool online) {
        settings->DialupConnection = true;
        TINetDetect::setInterfaceLister([online] {
            QVector<NetInterfaceInfo> list{{false, QStringLiteral("eth0")}};
            if (online) {
                list.append({true, QStringLiteral("ppp0")});
            }
            return list;
        });
    }
};
