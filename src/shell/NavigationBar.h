#pragma once

#include <QWidget>

class QToolButton;
class QVBoxLayout;

// A task-list style bar of collapsible groups of items, on a gradient from the
// button face to the button shadow colour. Groups cannot be closed.
class NavigationBar : public QWidget
{
    Q_OBJECT
public:
    explicit NavigationBar(QWidget *parent = nullptr);

    // Returns the group's header button; the group starts collapsed unless expanded is set.
    QWidget *addGroup(const QString &objectName, const QString &caption, bool expanded);
    // Adds an item to the last group added; returns its button.
    QToolButton *addItem(const QString &objectName, const QString &caption, const QIcon &icon = {});

    bool isGroupExpanded(const QString &objectName) const;
    void setGroupExpanded(const QString &objectName, bool expanded);
    QToolButton *item(const QString &objectName) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *m_layout;
    QWidget *m_lastBody = nullptr;
};

// The navigation panel with its size bar: a hot spot on the bar collapses and restores it.
class SizePanel : public QWidget
{
    Q_OBJECT
public:
    SizePanel(QWidget *content, int width, QWidget *parent = nullptr);
    bool isCollapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);
    QToolButton *hotSpot() const { return m_hotSpot; }

Q_SIGNALS:
    void HotSpotClick();

private:
    QWidget *m_content;
    QToolButton *m_hotSpot;
    int m_width;
    bool m_collapsed = false;
};
