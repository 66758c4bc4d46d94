#include "ColumnSettingForm.h"
#include "ui_ColumnSettingForm.h"

#include "Connection.h"
#include "DbError.h"
#include "GridLayout.h"
#include "IniFile.h"
#include "Messages.h"
#include "Query.h"
#include "Tdm.h"
#include "TellmontApplication.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QStyle>

namespace {
constexpr int ItemHeight = 20;
constexpr int FontCellHeight = 20;
}

TfrmColumnSettingForm::TfrmColumnSettingForm(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmColumnSettingForm>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(502, 283);

    QPalette white = m_ui->pelTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_ui->pelTop->setPalette(white);
    m_ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(40, 40));

    // The font is as high as a row: the largest pixel size whose line fits 20 pixels.
    QFont font = m_ui->chklst->font();
    for (int size = FontCellHeight; size > 6; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= FontCellHeight)
            break;
    }
    m_ui->chklst->setFont(font);

    connect(m_ui->RzBitBtn5, &QPushButton::clicked, this, &TfrmColumnSettingForm::RzBitBtn5Click);
    connect(m_ui->RzBitBtn2, &QPushButton::clicked, this, &TfrmColumnSettingForm::RzBitBtn2Click);
    connect(m_ui->RzBitBtn3, &QPushButton::clicked, this, &TfrmColumnSettingForm::RzBitBtn3Click);
    connect(m_ui->RzBitBtn4, &QPushButton::clicked, this, &TfrmColumnSettingForm::RzBitBtn4Click);
}

TfrmColumnSettingForm::~TfrmColumnSettingForm() = default;

QListWidget *TfrmColumnSettingForm::chklst() const
{
    return m_ui->chklst;
}

void TfrmColumnSettingForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    try {
        FormShow();
    } catch (const DbError &e) {
        // Reported here rather than thrown out of a show event; the list stays empty.
        ShowErrorText(e.text());
    }
}

void TfrmColumnSettingForm::FormShow()
{
    QListWidget *list = m_ui->chklst;
    list->clear();

    Connection connection;
    connection.setConnectionString(CurrentConnectionString);
    connection.Open();
    Query query(&connection);
    query.setSql(QStringLiteral("select * from ") + ViewName + QStringLiteral(" where 1=2 "));
    query.Open();
    const QFontMetrics metrics(list->font());
    for (const Field &f : query.fields()) {
        auto *item = new QListWidgetItem(f.name, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setSizeHint(QSize(metrics.horizontalAdvance(f.name) + 2 * ItemHeight, ItemHeight));
    }
    query.Close();

    const QStringList keys = IniFile(CustomerIniFile()).ReadSection(GridLayoutKey(ViewName, OwnerName));
    if (keys.isEmpty())
        return;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        item->setCheckState(keys.contains(item->text(), Qt::CaseSensitive) ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmColumnSettingForm::RzBitBtn5Click()
{
    for (int i = 0; i < m_ui->chklst->count(); ++i)
        m_ui->chklst->item(i)->setCheckState(Qt::Checked);
}

void TfrmColumnSettingForm::RzBitBtn2Click()
{
    for (int i = 0; i < m_ui->chklst->count(); ++i)
        m_ui->chklst->item(i)->setCheckState(Qt::Unchecked);
}

void TfrmColumnSettingForm::RzBitBtn3Click()
{
    IniFile ini(CustomerIniFile());
    const QString section = GridLayoutKey(ViewName, OwnerName);
    ini.EraseSection(section);
    bool any = false;
    for (int i = 0; i < m_ui->chklst->count(); ++i) {
        const QListWidgetItem *item = m_ui->chklst->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        ini.WriteString(section, item->text(), QString());
        any = true;
    }
    if (!any) {
        ShowMessageBox(this, QStringLiteral("至少有一项打 \"√\"!"), 1);
        return;
    }
    accept();
}

void TfrmColumnSettingForm::RzBitBtn4Click()
{
    reject();
}
