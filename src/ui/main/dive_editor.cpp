#include "ui/main/dive_editor.h"

#include "store/tdm_rdp.h"
#include "ui/db/controls/data_aware.h"
#include "ui/db/controls/db_check_box.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/db_list_control.h"
#include "ui/db/controls/value_domains.h"
#include "ui/main/action_link.h"
#include "ui/main/dive_profile_view.h"
#include "ui/main/main_icons.h"
#include "ui_dive_editor_conditions.h"
#include "ui_dive_editor_dc_profile.h"
#include "ui_dive_editor_gear.h"
#include "ui_dive_editor_general.h"
#include "ui_dive_editor_simple.h"
#include "ui_tfrm_principal.h"

#include <QHash>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace {

constexpr int kLinkIconSize = 14;
constexpr int kCertIconSize = 24;
constexpr int kTankHeight = 84;

using DomainFactory = ValueDomain (*)();

// The value domains a layout may name in "valueDomain".
const QHash<QString, DomainFactory>& domainFactories() {
    static const QHash<QString, DomainFactory> factories = {
        {"environment", ValueDomains::environment},
        {"diveType", ValueDomains::diveType},
        {"secondDiveType", ValueDomains::secondDiveType},
        {"siteType", ValueDomains::siteType},
        {"simpleSiteType", ValueDomains::simpleSiteType},
        {"access", ValueDomains::access},
        {"activity", ValueDomains::activity},
        {"distanceUnit", ValueDomains::distanceUnit},
        {"temperatureUnit", ValueDomains::temperatureUnit},
        {"pressureUnit", ValueDomains::pressureUnit},
        {"weather", ValueDomains::weather},
        {"simpleWeather", ValueDomains::simpleWeather},
        {"strength", ValueDomains::strength},
        {"simpleStrength", ValueDomains::simpleStrength},
        {"gasWithBlank", ValueDomains::gasWithBlank},
        {"tankMaterial", ValueDomains::tankMaterial},
        {"volumeUnit", ValueDomains::volumeUnit},
        {"endOrUsed", ValueDomains::endOrUsed},
        {"thicknessUnit", ValueDomains::thicknessUnit},
        {"weightUnit", ValueDomains::weightUnit},
        {"ballast", ValueDomains::ballast},
    };
    return factories;
}

QString layoutProperty(const QWidget* control, const char* name) {
    return control->property(name).toString();
}

// The plain selector of the rating holds its stored texts; value selectors get their domain.
void fillItems(QWidget* control) {
    const QString domain = layoutProperty(control, "valueDomain");
    if (domain.isEmpty()) {
        return;
    }
    if (auto* plain = qobject_cast<DbComboBox*>(control)) {
        Q_ASSERT(domain == QLatin1String("rating"));
        plain->addItems(ValueDomains::ratingItems());
        return;
    }
    auto* selector = qobject_cast<DbValueSelector*>(control);
    const DomainFactory factory = domainFactories().value(domain);
    Q_ASSERT_X(selector && factory, "DiveEditor", qPrintable(control->objectName()));
    if (selector && factory) {
        const ValueDomain values = factory();
        selector->setItems(values.items, values.values);
    }
}

void bindControls(QWidget* editor, const DiveEditor::Sources& sources) {
    const QHash<QString, DataSource*> byName = {
        {QStringLiteral("ds_dives"), sources.dives},
        {QStringLiteral("ds_conditions"), sources.conditions},
        {QStringLiteral("ds_equip"), sources.equipment}};
    for (QWidget* widget : editor->findChildren<QWidget*>()) {
        auto* control = dynamic_cast<DataAware*>(widget);
        if (!control) {
            continue;
        }
        fillItems(widget);
        const QString mask = layoutProperty(widget, "editMask");
        if (auto* edit = qobject_cast<DbEdit*>(widget); edit && !mask.isEmpty()) {
            edit->setEditMask(mask);
        }
        const QString source = layoutProperty(widget, "dataSource");
        Q_ASSERT_X(byName.contains(source), "DiveEditor", qPrintable(widget->objectName()));
        control->bind(byName.value(source), layoutProperty(widget, "dataField"));
    }
}

// Shown by the state rules only; they keep their place meanwhile so the rows do not shift.
void hideKeepingPlace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

// The buttons that open a linked entry's web page: small, flat, hidden until the entry is
// linked and the machine online.
void setUpLinkButtons(QWidget* editor) {
    const QIcon icon = MainIcons::webLink();
    for (QToolButton* button : editor->findChildren<QToolButton*>()) {
        if (!button->objectName().startsWith(QLatin1String("bt_valid_"))) {
            continue;
        }
        button->setIcon(icon);
        button->setIconSize(QSize(kLinkIconSize, kLinkIconSize));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        hideKeepingPlace(button);
    }
}

void paintReadOnly(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    control->setPalette(palette);
}

}  // namespace

DiveEditor::DiveEditor(Ui::TFrm_Principal* frame, const Sources& sources, QMenu* certificationMenu,
                       QObject* parent)
    : QObject(parent),
      general_(std::make_unique<Ui::DiveEditorGeneral>()),
      conditions_(std::make_unique<Ui::DiveEditorConditions>()),
      gear_(std::make_unique<Ui::DiveEditorGear>()),
      dcProfile_(std::make_unique<Ui::DiveEditorDcProfile>()),
      simple_(std::make_unique<Ui::DiveEditorSimple>()) {
    setUpPages(frame);
    setUpHeader(frame);
    setUpCertificationStrip(frame, certificationMenu);
    dcProfile_->DC_Panel_Dock->layout()->addWidget(new DiveProfileView(
        dm_rdp ? dm_rdp->cds_profile : nullptr, sources.conditions, dcProfile_->DC_Panel_Dock));
    bindControls(frame->TsDiveDetail, sources);
    setUpLinkButtons(frame->TsDiveDetail);
    linkButtonToAction(general_->dive_invite_buddy, frame->Ac_Invite_User);
}

DiveEditor::~DiveEditor() = default;

void DiveEditor::setUpPages(Ui::TFrm_Principal* frame) {
    general_->setupUi(frame->sb_general_contents);
    conditions_->setupUi(frame->sb_conditions_contents);
    gear_->setupUi(frame->sb_gear_contents);
    dcProfile_->setupUi(frame->ts_DcProfile);
    simple_->setupUi(frame->PageSimple_contents);
    hideKeepingPlace(conditions_->bt_deco_stops);  // shown for decompression dives
    gear_->img_tank->setPixmap(MainIcons::tank(kTankHeight));
    const CheckValues saltWater = ValueDomains::saltWater();
    simple_->Simple_Saltwater->setCheckValues(saltWater.checked, saltWater.unchecked);
}

void DiveEditor::setUpHeader(Ui::TFrm_Principal* frame) {
    paintReadOnly(frame->dive_ed_id_dive);
    const QRegularExpression upToLimit(QStringLiteral("(?s).{0,%1}").arg(kLocationTypedLength));
    frame->dive_location->setValidator(
        new QRegularExpressionValidator(upToLimit, frame->dive_location));
}

void DiveEditor::setUpCertificationStrip(Ui::TFrm_Principal* frame, QMenu* certificationMenu) {
    const QSize iconSize(kCertIconSize, kCertIconSize);
    frame->img_cert->setPixmap(MainIcons::certified().pixmap(iconSize));
    frame->img_cert_buddy->setPixmap(MainIcons::buddyConfirmed().pixmap(iconSize));
    QLabel* cert = frame->img_cert;
    cert->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(cert, &QWidget::customContextMenuRequested, certificationMenu,
            [cert, certificationMenu](const QPoint& at) {
                certificationMenu->popup(cert->mapToGlobal(at));
            });
    frame->pnlCert->hide();
}
