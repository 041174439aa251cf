#include "ui/main/dive_commands.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tinet_detect.h"
#include "store/tdm_rdp.h"
#include "ui/forms/dialogs.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tdlg_date.h"
#include "ui/main/tfrm_drive_advanced.h"
#include "ui/main/tfrm_notes.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"
#include "ui/main/tfrm_stops.h"

#include <QDate>
#include <QEvent>
#include <optional>

namespace {

const QString kUpdateQuestion =
    QStringLiteral("Are you sure you want to modify your Dive Information?");
constexpr int kTeamSize = 5;

bool isEditing(const Table& table) {
    return table.state() == Table::State::Edit || table.state() == Table::State::Insert;
}

void postIfEditing(Table& table) {
    if (isEditing(table)) {
        table.post();
    }
}

// Editing an empty table would start a new dive: commands on the current dive need one.
bool hasCurrentDive(const Table& dives) {
    return dives.active() && (dives.recordCount() > 0 || dives.state() == Table::State::Insert);
}

bool confirmed(QWidget* owner, const QString& question) {
    return Dialogs::message(owner, {QString(), question, QMessageBox::Question,
                                    QMessageBox::Yes | QMessageBox::No}) == QMessageBox::Yes;
}

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

QString teamField(const char* prefix, int teamNumber) {
    return QLatin1String(prefix) + QString::number(teamNumber);
}

bool unlinkBlocked(const Table& dives, LinkedName name) {
    if (dives.asInteger(QStringLiteral("locked")) != 0) {
        return true;
    }
    const int certifyBy = dives.asInteger(QStringLiteral("certify_by"));
    switch (name) {
        case LinkedName::Location:
        case LinkedName::Operator:
        case LinkedName::School:
            return certifyBy == 1;
        case LinkedName::Site:
            return certifyBy != 0;
        case LinkedName::Instructor:
            return dives.asInteger(QStringLiteral("xTeam_Leader")) != 0;
        case LinkedName::Buddy:
        case LinkedName::TeamMember:
            return false;
    }
    return true;
}

QStringList linkNumbers(LinkedName name, int teamNumber) {
    switch (name) {
        case LinkedName::Location:
            return {QStringLiteral("id_Location"), QStringLiteral("id_site")};
        case LinkedName::Site:
            return {QStringLiteral("id_site")};
        case LinkedName::Operator:
            return {QStringLiteral("id_operator")};
        case LinkedName::School:
            return {QStringLiteral("id_school")};
        case LinkedName::Buddy:
            return {QStringLiteral("id_buddy")};
        case LinkedName::Instructor:
            return {QStringLiteral("id_instructor")};
        case LinkedName::TeamMember:
            return {teamField("id_team", teamNumber)};
    }
    return {};
}

void writeContact(Table& dives, const QString& idField, const QString& nameField, int contactId,
                  const QString& name) {
    if (!hasCurrentDive(dives)) {
        return;
    }
    dives.edit();
    dives.setValue(idField, contactId);
    dives.setAsString(nameField, name);
    dives.post();
}

// `unchangedId`: a chosen contact with this number is the one already stored.
void applyChosenContact(Table& dives, const QString& idField, const QString& nameField,
                        int contactId, const QString& name, std::optional<int> unchangedId = {}) {
    if (!name.isEmpty() && contactId != unchangedId) {
        writeContact(dives, idField, nameField, contactId, name);
    } else if (contactId == -1) {
        writeContact(dives, idField, nameField, 0, QString());
    }
}

// A command on a dive and its detail rows needs every table it touches: with one not open (a
// file that could not be read) it would add a dive without its rows, or delete the dive and
// leave rows of no dive. It then touches none and says which table is missing.
void requireOpen(std::initializer_list<const Table*> tables) {
    for (const Table* table : tables) {
        if (!table->active()) {
            throw AppError(QStringLiteral("Table %1: the table is not open.").arg(table->name()));
        }
    }
}

// A detail row of the dive just added, which has none yet: editing starts it.
void addDetailRow(Table& detail, const QList<QPair<QString, int>>& units) {
    detail.edit();
    for (const auto& [field, unit] : units) {
        detail.setValue(field, unit);
    }
    detail.post();
}

// The detail rows first, then the dive.
void removeDiveRows(Tdm_rdp& tables) {
    Table& profile = *tables.cds_profile;
    while (profile.recordCount() > 0) {
        profile.remove();
    }
    for (Table* detail : {tables.cds_equipment, tables.cds_conditions}) {
        if (detail->recordCount() > 0) {
            detail->remove();
        }
    }
    if (tables.cds_dives->recordCount() > 0) {
        tables.cds_dives->remove();
    }
}

}  // namespace

// Unlinking and the buddy selection's write-back ---------------------------------------------

void unlinkName(Tdm_rdp& tables, LinkedName name, int teamNumber) {
    Table& dives = *tables.cds_dives;
    if (!hasCurrentDive(dives) || unlinkBlocked(dives, name)) {
        return;
    }
    for (const QString& number : linkNumbers(name, teamNumber)) {
        dives.setValue(number, 0);
    }
    if (name == LinkedName::Buddy && dives.asInteger(QStringLiteral("certify_by")) == 2) {
        dives.setValue(QStringLiteral("certify_by"), 0);
    }
}

void applyChosenBuddy(Tdm_rdp& tables, int contactId, const QString& name) {
    applyChosenContact(*tables.cds_dives, QStringLiteral("id_buddy"), QStringLiteral("buddy"),
                       contactId, name);
}

void applyChosenInstructor(Tdm_rdp& tables, int contactId, const QString& name) {
    applyChosenContact(*tables.cds_dives, QStringLiteral("id_instructor"),
                       QStringLiteral("instructor"), contactId, name);
}

void applyChosenTeamMember(Tdm_rdp& tables, int teamNumber, int contactId, const QString& name) {
    Table& dives = *tables.cds_dives;
    const QString idField = teamField("id_team", teamNumber);
    applyChosenContact(dives, idField, teamField("team", teamNumber), contactId, name,
                       dives.asInteger(idField));
}

void applyChosenLocation(Tdm_rdp& tables, int idLocation, const QString& location, int idSite,
                         const QString& site, bool newLocation) {
    Table& dives = *tables.cds_dives;
    if ((idLocation <= 0 && !newLocation) || !hasCurrentDive(dives)) {
        return;
    }
    dives.edit();
    dives.setAsString(QStringLiteral("Location"), location);
    dives.setValue(QStringLiteral("id_Location"), idLocation);
    dives.setAsString(QStringLiteral("Site"), site);
    dives.setValue(QStringLiteral("id_site"), idSite);
    dives.post();
}

void applyChosenOperator(Tdm_rdp& tables, int organizationId, const QString& name) {
    applyChosenContact(*tables.cds_dives, QStringLiteral("id_operator"), QStringLiteral("operator"),
                       organizationId, name);
}

void applyChosenSchool(Tdm_rdp& tables, int organizationId, const QString& name) {
    applyChosenContact(*tables.cds_dives, QStringLiteral("id_school"), QStringLiteral("school"),
                       organizationId, name);
}

// Wiring ----------------------------------------------------------------------------------------

DiveCommands::DiveCommands(TFrm_Principal& window) : QObject(&window), window_(window) {
    connectActions();
    connectButtons();
    watchNameEdits();
}

template <class Sender, class Signal>
void DiveCommands::handle(Sender* sender, Signal signal, void (DiveCommands::*handler)()) {
    connect(sender, signal, this, [this, handler] {
        runRecordCommand(&window_, [this, handler] { (this->*handler)(); });
    });
}

void DiveCommands::connectActions() {
    Ui::TFrm_Principal* ui = window_.ui;
    handle(ui->Ac_Add_Dive, &QAction::triggered, &DiveCommands::Ac_Add_DiveExecute);
    handle(ui->Ac_Dive_Update, &QAction::triggered, &DiveCommands::Ac_Dive_UpdateExecute);
    handle(ui->Ac_Delete_Dive, &QAction::triggered, &DiveCommands::Ac_Delete_DiveExecute);
    handle(ui->Ac_Lock, &QAction::triggered, &DiveCommands::Ac_LockExecute);
    handle(ui->AdvancedInformation1, &QAction::triggered, &DiveCommands::AdvancedInformation1Click);
    handle(ui->GeneralNotes1, &QAction::triggered, &DiveCommands::GeneralNotes1Click);
    handle(ui->Ac_ViewDiverProfile, &QAction::triggered, &DiveCommands::Ac_ViewDiverProfileExecute);
}

// The buttons for the advanced window and the notes act through their menu items, which the
// state rules disable while there is no dive.
void DiveCommands::connectButtons() {
    Ui::TFrm_Principal* ui = window_.ui;
    const DiveEditor* editor = window_.editor();
    handle(ui->bt_date, &QToolButton::clicked, &DiveCommands::bt_dateClick);
    handle(ui->bt_valid_location, &QToolButton::clicked, &DiveCommands::bt_valid_locationClick);
    handle(editor->conditions()->bt_deco_stops, &QToolButton::clicked,
           &DiveCommands::bt_deco_stopsClick);
    Ui::DiveEditorGeneral* general = editor->general();
    handle(general->bt_valid_op, &QToolButton::clicked, &DiveCommands::bt_valid_opClick);
    handle(general->bt_valid_scho, &QToolButton::clicked, &DiveCommands::bt_valid_schoClick);
    handle(general->bt_valid_bu, &QToolButton::clicked, &DiveCommands::bt_valid_buClick);
    handle(general->bt_valid_inst, &QToolButton::clicked, &DiveCommands::bt_valid_instClick);
    for (QToolButton* team :
         {general->bt_valid_team1, general->bt_valid_team2, general->bt_valid_team3,
          general->bt_valid_team4, general->bt_valid_team5}) {
        const int teamNumber = team->property("tag").toInt();
        connect(team, &QToolButton::clicked, this, [this, teamNumber] {
            runRecordCommand(&window_, [this, teamNumber] { bt_valid_teamClick(teamNumber); });
        });
    }
    handle(general->bt_Advanced, &QPushButton::clicked, &DiveCommands::bt_AdvancedClick);
    for (QPushButton* notes : {general->bt_Notes, editor->simple()->Button8}) {
        handle(notes, &QPushButton::clicked, &DiveCommands::bt_NotesClick);
    }
}

void DiveCommands::watchNameEdits() {
    Ui::TFrm_Principal* ui = window_.ui;
    Ui::DiveEditorGeneral* general = window_.editor()->general();
    Ui::DiveEditorSimple* simple = window_.editor()->simple();
    watch(ui->dive_location, [this] { dive_locationDblClick(); });
    watch(ui->dive_site, [this] { dive_siteDblClick(); });
    for (QObject* edit : {general->dive_operator, simple->Simple_dive_operator}) {
        watch(edit, [this] { dive_operator2DblClick(); });
    }
    watch(general->dive_school, [this] { dive_schoolDblClick(); });
    for (QObject* edit : {general->dive_buddy, simple->Simple_dive_buddy}) {
        watch(edit, [this] { dive_buddyDblClick(); });
    }
    watch(general->dive_instructor, [this] { dive_instructorDblClick(); });
    for (QObject* team : {general->dive_team1, general->dive_team2, general->dive_team3,
                          general->dive_team4, general->dive_team5}) {
        const int teamNumber = team->property("tag").toInt();
        Q_ASSERT(teamNumber >= 1 && teamNumber <= kTeamSize);
        watch(team, [this, teamNumber] { dive_team1DblClick(teamNumber); });
    }
}

void DiveCommands::watch(QObject* edit, std::function<void()> dblClick) {
    nameEdits_.insert(edit, std::move(dblClick));
    edit->installEventFilter(this);
}

// The edit still gets the double click (it selects the word under the pointer).
bool DiveCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && nameEdits_.contains(watched)) {
        runRecordCommand(&window_, nameEdits_.value(watched));
    }
    return QObject::eventFilter(watched, event);
}

Table& DiveCommands::dives() const {
    return *dm_rdp->cds_dives;
}

// Commands on the dive ----------------------------------------------------------------------

void DiveCommands::Ac_Add_DiveExecute() {
    Table& dive = dives();
    requireOpen({&dive, dm_rdp->cds_conditions, dm_rdp->cds_equipment});
    dive.insert();
    dive.setValue(QStringLiteral("Date"), QDate::currentDate());
    dive.post();
    const int distance = dm_const->Unit_Dist;
    addDetailRow(*dm_rdp->cds_conditions,
                 {{QStringLiteral("depth_unit"), distance},
                  {QStringLiteral("altitude_unit"), distance},
                  {QStringLiteral("cond_visibility_unit"), distance},
                  {QStringLiteral("cond_temp_unit"), dm_const->Unit_Temp}});
    addDetailRow(*dm_rdp->cds_equipment, {{QStringLiteral("pres_unit"), dm_const->Unit_Pres}});
    bt_dateClick();
}

void DiveCommands::Ac_Dive_UpdateExecute() {
    Table& dive = dives();
    if (!hasCurrentDive(dive) || !confirmed(&window_, kUpdateQuestion)) {
        return;
    }
    dive.edit();
    dive.setValue(QStringLiteral("certify_by"), -1);
    dive.post();
}

void DiveCommands::Ac_Delete_DiveExecute() {
    Table& dive = dives();
    requireOpen({&dive, dm_rdp->cds_profile, dm_rdp->cds_equipment, dm_rdp->cds_conditions});
    postIfEditing(dive);
    if (!hasCurrentDive(dive) ||
        !confirmed(&window_, word(QStringLiteral("txt_want_delete_dive")))) {
        return;
    }
    const int idDive = dive.asInteger(QStringLiteral("id_dive"));
    try {
        removeDiveRows(*dm_rdp);
    } catch (const AppError&) {
        return;  // what was deleted stays deleted; the dive was not, so nothing is queued
    }
    // A queue entry that cannot be written is reported: the service would keep the dive and
    // send it back at the next synchronisation.
    if (idDive > 0) {
        DeletionQueue::append(idDive);
    }
}

void DiveCommands::Ac_LockExecute() {
    Table& dive = dives();
    postIfEditing(dive);
    if (!hasCurrentDive(dive)) {
        return;
    }
    dive.edit();
    const bool locked = dive.asInteger(QStringLiteral("locked")) != 0;
    dive.setValue(QStringLiteral("locked"), locked ? 0 : 1);
    dive.post();
}

// Sub-dialogs ---------------------------------------------------------------------------------

void DiveCommands::bt_dateClick() {
    TDlg_date dialog(&window_, window_.ds_dives);
    if (Dialogs::execModal(&dialog) == QDialog::Accepted) {
        postIfEditing(dives());
    }
}

void DiveCommands::bt_deco_stopsClick() {
    TFrmStops dialog(&window_, window_.ds_conditions);
    Dialogs::execModal(&dialog);
}

void DiveCommands::showEditorSheet() {
    window_.ui->PageControl1->setCurrentWidget(window_.ui->TsDiveDetail);
    window_.ui->TsDiveDetail->show();
}

void DiveCommands::AdvancedInformation1Click() {
    showEditorSheet();
    TFrmDriveAdvanced dialog(&window_, window_.ds_dives);
    Dialogs::execModal(&dialog);
}

void DiveCommands::GeneralNotes1Click() {
    showEditorSheet();
    TFrmNotes dialog(&window_, window_.ds_conditions, window_.ds_dives);
    Dialogs::execModal(&dialog);
}

void DiveCommands::bt_AdvancedClick() {
    window_.ui->AdvancedInformation1->trigger();
}

void DiveCommands::bt_NotesClick() {
    window_.ui->GeneralNotes1->trigger();
}

// Unlinking names -----------------------------------------------------------------------------

void DiveCommands::unlink(LinkedName name, int teamNumber) {
    if (dm_rdp) {
        unlinkName(*dm_rdp, name, teamNumber);
    }
}

void DiveCommands::dive_locationDblClick() {
    unlink(LinkedName::Location);
}

void DiveCommands::dive_siteDblClick() {
    unlink(LinkedName::Site);
}

void DiveCommands::dive_operator2DblClick() {
    unlink(LinkedName::Operator);
}

void DiveCommands::dive_schoolDblClick() {
    unlink(LinkedName::School);
}

void DiveCommands::dive_buddyDblClick() {
    unlink(LinkedName::Buddy);
}

void DiveCommands::dive_instructorDblClick() {
    unlink(LinkedName::Instructor);
}

void DiveCommands::dive_team1DblClick(int teamNumber) {
    unlink(LinkedName::TeamMember, teamNumber);
}

// Web pages -----------------------------------------------------------------------------------

void DiveCommands::openPageWhenOnline(const std::function<QString()>& page) {
    if (window_.INetDetector1->Online() && dm_const) {
        dm_const->GetUrl(page());
    }
}

void DiveCommands::bt_valid_locationClick() {
    openPageWhenOnline([this] {
        return ServiceEndpoints::locationPage(dives().asString(QStringLiteral("id_Location")),
                                              dives().asString(QStringLiteral("id_site")));
    });
}

void DiveCommands::openNumberPage(QString (*page)(const QString& number), const QString& field) {
    openPageWhenOnline([this, page, field] { return page(dives().asString(field)); });
}

void DiveCommands::bt_valid_opClick() {
    openNumberPage(ServiceEndpoints::organizationPage, QStringLiteral("id_operator"));
}

void DiveCommands::bt_valid_schoClick() {
    openNumberPage(ServiceEndpoints::organizationPage, QStringLiteral("id_school"));
}

void DiveCommands::bt_valid_buClick() {
    openNumberPage(ServiceEndpoints::memberPage, QStringLiteral("id_buddy"));
}

void DiveCommands::bt_valid_instClick() {
    openNumberPage(ServiceEndpoints::memberPage, QStringLiteral("id_instructor"));
}

void DiveCommands::bt_valid_teamClick(int teamNumber) {
    openNumberPage(ServiceEndpoints::memberPage, teamField("id_team", teamNumber));
}

void DiveCommands::Ac_ViewDiverProfileExecute() {
    openPageWhenOnline(
        [this] { return ServiceEndpoints::memberProfilePage(window_.memberUserName()); });
}
