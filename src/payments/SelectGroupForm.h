#pragma once

#include "TTBas.h"

#include <memory>

namespace Ui {
class frmSelectGroupForm;
}

class QCheckBox;
class QTreeWidget;

// Lets the user tick the groups the due list is narrowed to; hands back the
// ticked ids and names as comma-separated lists in tree order.
class TfrmSelectGroupForm : public TTBas
{
    Q_OBJECT
public:
    enum Column { ColSelect = 0, ColGroupId = 1, ColGroupName = 2 };

    explicit TfrmSelectGroupForm(QWidget *parent = nullptr);
    ~TfrmSelectGroupForm() override;

    // Filled by OK; both empty when nothing was ticked.
    QString GroupIds;
    QString GroupNames;

    void FormShow() override;
    void chkSelectAllClick(bool checked);
    void btnOkClick();
    void btnCloseClick();

    QTreeWidget *tlGroup() const;
    QCheckBox *chkSelectAll() const;

private:
    std::unique_ptr<Ui::frmSelectGroupForm> m_ui;
    bool m_loaded = false;
};
