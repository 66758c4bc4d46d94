#include "WinStyleForm.h"

#include "Public.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TfrmWinStyleForm::TfrmWinStyleForm(QWidget *parent)
    : TTBas(parent)
{
    resize(566, 355);

    m_panel1 = new QWidget(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFixedHeight(71);
    m_panel1->setAutoFillBackground(true);
    QPalette white = m_panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_panel1->setPalette(white);
    m_label1 = new QLabel(QStringLiteral("功能介绍"), m_panel1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);
    m_label2 = new QLabel(QStringLiteral("数据检索"), m_panel1);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_image1 = new QLabel(m_panel1);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(40, 40));
    m_lblParentCom = new QLabel(m_panel1);
    m_lblParentCom->setObjectName(QStringLiteral("lblParentCom"));
    m_lblParentCom->hide();
    auto *headerText = new QVBoxLayout;
    headerText->addWidget(m_label1);
    headerText->addWidget(m_label2);
    auto *header = new QHBoxLayout(m_panel1);
    header->setContentsMargins(16, 8, 16, 8);
    header->addLayout(headerText, 1);
    header->addWidget(m_image1);

    m_bevel1 = new QFrame(this);
    m_bevel1->setObjectName(QStringLiteral("Bevel1"));
    m_bevel1->setFrameShape(QFrame::HLine);
    m_bevel1->setFrameShadow(QFrame::Sunken);

    m_panel2 = new QWidget(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));

    m_bevel2 = new QFrame(this);
    m_bevel2->setObjectName(QStringLiteral("Bevel2"));
    m_bevel2->setFrameShape(QFrame::HLine);
    m_bevel2->setFrameShadow(QFrame::Sunken);

    m_panel3 = new QWidget(this);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    m_panel3->setFixedHeight(34);
    m_panel4 = new QWidget(m_panel3);
    m_panel4->setObjectName(QStringLiteral("Panel4"));
    m_btnOk = new QPushButton(QStringLiteral("确定(&Ent)"), m_panel4);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnCancel = new QPushButton(QStringLiteral("关闭(&ESC)"), m_panel4);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout(m_panel4);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancel);
    auto *footer = new QHBoxLayout(m_panel3);
    footer->setContentsMargins(8, 2, 8, 2);
    footer->addStretch(1);
    footer->addWidget(m_panel4);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(m_panel1);
    main->addWidget(m_bevel1);
    main->addWidget(m_panel2, 1);
    main->addWidget(m_bevel2);
    main->addWidget(m_panel3);

    connect(m_btnCancel, &QPushButton::clicked, this, &TfrmWinStyleForm::btnCancelClick);
}

void TfrmWinStyleForm::btnCancelClick()
{
    reject();
}

void TfrmWinStyleForm::FormKeyDown(QKeyEvent *event)
{
    TTBas::FormKeyDown(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        m_btnOk->click();
    if (event->key() == Qt::Key_Escape)
        m_btnCancel->click();
}

void TfrmWinStyleForm::FormShow()
{
    ApplyInputMethod(m_panel2);
}
