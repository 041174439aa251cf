#pragma once

#include "app/settings/tdm_const.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "test_support.h"

#include <memory>

// The modules the transport reads at every call (settings for the user agent and proxy, the
// member table for the credentials) over fresh data folders, and the transport itself.
struct CommFixture {
    TestSupport::TempFolders folders;
    std::unique_ptr<Tdm_const> settings = std::make_unique<Tdm_const>();
    std::unique_ptr<Tdm_rdp> tables = std::make_unique<Tdm_rdp>();
    TdmComm comm;

    CommFixture() {
        dm_const = settings.get();
        settings->DataModuleCreate();
        settings->AppTitle = QStringLiteral("NEREVA Desktop");
        dm_rdp = tables.get();
        tables->DataModuleCreate();
        dmComm = &comm;
        // A test that hangs should fail, not stall the run.
        comm.setIdleTimeout(10 * 1000);
    }

    ~CommFixture() {
        dmComm = nullptr;
        dm_rdp = nullptr;
        tables.reset();
        dm_const = nullptr;
        settings.reset();
    }

    // Writes the one member record's service credentials.
    void setMember(const QString& user, const QString& password) {
        Table* member = tables->cds_info;
        member->recordCount() == 0 ? member->append() : member->edit();
        member->setAsString(QStringLiteral("inet_user"), user);
        member->setAsString(QStringLiteral("inet_pass"), password);
        member->post();
    }
};
