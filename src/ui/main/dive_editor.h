#pragma once

#include <QObject>
#include <memory>

namespace Ui {
class TFrm_Principal;
class DiveEditorGeneral;
class DiveEditorConditions;
class DiveEditorGear;
class DiveEditorDcProfile;
class DiveEditorSimple;
}  // namespace Ui
class DataSource;
class QMenu;

// The dive editor on the main window's editor sheet. The header band and the certification
// strip are part of the window's own layout; the four advanced pages and the simple page have
// layouts of their own, set up inside the window's page containers. Every data-aware control
// is bound to the field its layout names: the dynamic properties "dataSource" (ds_dives,
// ds_conditions or ds_equip), "dataField", and where they apply "editMask" and "valueDomain"
// (a ValueDomains function by name).
//
// The buttons whose commands act on the dive (choosing, unlinking and web pages of linked
// entries, the date picker, the sub-dialogs) are left unconnected here; the dive commands
// connect them. Reach the controls through "ui/main/tfrm_principal_controls.h".
class DiveEditor : public QObject {
public:
    struct Sources {
        DataSource* dives;
        DataSource* conditions;
        DataSource* equipment;
    };

    // `certificationMenu` pops up on the certification icon.
    DiveEditor(Ui::TFrm_Principal* frame, const Sources& sources, QMenu* certificationMenu,
               QObject* parent);
    ~DiveEditor() override;

    Ui::DiveEditorGeneral* general() const { return general_.get(); }
    Ui::DiveEditorConditions* conditions() const { return conditions_.get(); }
    Ui::DiveEditorGear* gear() const { return gear_.get(); }
    Ui::DiveEditorDcProfile* dcProfile() const { return dcProfile_.get(); }
    Ui::DiveEditorSimple* simple() const { return simple_.get(); }

    // What dive_location lets the diver type; a longer stored name still shows whole.
    static constexpr int kLocationTypedLength = 40;

private:
    void setUpPages(Ui::TFrm_Principal* frame);
    void setUpHeader(Ui::TFrm_Principal* frame);
    void setUpCertificationStrip(Ui::TFrm_Principal* frame, QMenu* certificationMenu);

    const std::unique_ptr<Ui::DiveEditorGeneral> general_;
    const std::unique_ptr<Ui::DiveEditorConditions> conditions_;
    const std::unique_ptr<Ui::DiveEditorGear> gear_;
    const std::unique_ptr<Ui::DiveEditorDcProfile> dcProfile_;
    const std::unique_ptr<Ui::DiveEditorSimple> simple_;
};
