#include "NavigationBar.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

NavigationBar::NavigationBar(QWidget *parent)
    : QWidget(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(4, 4, 4, 4);
    m_layout->setSpacing(4);
    m_layout->addStretch(1);
}

void NavigationBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(rect().topLeft(), rect().bottomLeft());
    g.setColorAt(0, palette().color(QPalette::Button));
    g.setColorAt(1, palette().color(QPalette::Dark));
    p.fillRect(rect(), g);
}

QWidget *NavigationBar::addGroup(const QString &objectName, const QString &caption, bool expanded)
{
    auto *header = new QToolButton(this);
    header->setObjectName(objectName);
    header->setText(caption);
    header->setCheckable(true);
    header->setChecked(expanded);
    header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    header->setMinimumHeight(26);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    header->setStyleSheet(QStringLiteral(
        "QToolButton { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #ffffff, stop:1 #c6d3ea);"
        " border: 1px solid #8da2c8; border-radius: 4px; padding: 3px; text-align: left; color: #1d3b6f; }"));

    auto *body = new QWidget(this);
    body->setObjectName(objectName + QStringLiteral("Items"));
    body->setAutoFillBackground(true);
    QPalette pal = body->palette();
    pal.setColor(QPalette::Window, QColor(0xf4, 0xf7, 0xfc));
    body->setPalette(pal);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(8, 4, 4, 6);
    bodyLayout->setSpacing(2);
    body->setVisible(expanded);

    connect(header, &QToolButton::toggled, body, [header, body](bool on) {
        body->setVisible(on);
        header->setArrowType(on ? Qt::DownArrow : Qt::RightArrow);
    });

    const int at = m_layout->count() - 1; // before the stretch
    m_layout->insertWidget(at, header);
    m_layout->insertWidget(at + 1, body);
    m_lastBody = body;
    return header;
}

QToolButton *NavigationBar::addItem(const QString &objectName, const QString &caption, const QIcon &icon)
{
    Q_ASSERT(m_lastBody);
    auto *button = new QToolButton(m_lastBody);
    button->setObjectName(objectName);
    button->setText(caption);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setCursor(Qt::PointingHandCursor);
    m_lastBody->layout()->addWidget(button);
    return button;
}

bool NavigationBar::isGroupExpanded(const QString &objectName) const
{
    auto *header = findChild<QToolButton *>(objectName);
    return header && header->isChecked();
}

void NavigationBar::setGroupExpanded(const QString &objectName, bool expanded)
{
    if (auto *header = findChild<QToolButton *>(objectName))
        header->setChecked(expanded);
}

QToolButton *NavigationBar::item(const QString &objectName) const
{
    return findChild<QToolButton *>(objectName);
}

SizePanel::SizePanel(QWidget *content, int width, QWidget *parent)
    : QWidget(parent), m_content(content), m_width(width)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    content->setParent(this);
    content->setFixedWidth(width);
    layout->addWidget(content);
    m_hotSpot = new QToolButton(this);
    m_hotSpot->setObjectName(QStringLiteral("HotSpot"));
    m_hotSpot->setFixedWidth(7);
    m_hotSpot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_hotSpot->setArrowType(Qt::LeftArrow);
    m_hotSpot->setAutoRaise(true);
    m_hotSpot->setToolTip(QStringLiteral("Hide or show the navigation panel"));
    layout->addWidget(m_hotSpot);
    connect(m_hotSpot, &QToolButton::clicked, this, [this] {
        setCollapsed(!m_collapsed);
        Q_EMIT HotSpotClick();
    });
}

void SizePanel::setCollapsed(bool collapsed)
{
    m_collapsed = collapsed;
    m_content->setVisible(!collapsed);
    m_hotSpot->setArrowType(collapsed ? Qt::RightArrow : Qt::LeftArrow);
}
