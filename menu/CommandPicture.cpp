#include "menu/CommandPicture.h"

#include <QIconEngine>
#include <QPainter>

namespace CommandPicture {

namespace {

// Sizes wider than tall are the menu's picture box; the others the toolbar's buttons.
class Engine : public QIconEngine
{
public:
    Engine(QIcon menuPicture, QIcon toolbarPicture)
        : m_menu(std::move(menuPicture))
        , m_toolbar(std::move(toolbarPicture))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        pictureFor(rect.size()).paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    // `size` is in device pixels here: the icon has already applied the screen's scale.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictureFor(size).pixmap(size, 1.0, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictureFor(size).actualSize(size, mode, state);
    }

    QIconEngine *clone() const override { return new Engine(m_menu, m_toolbar); }

private:
    const QIcon &pictureFor(const QSize &size) const { return size.width() > size.height() ? m_menu : m_toolbar; }

    QIcon m_menu;
    QIcon m_toolbar;
};

}  // namespace

QIcon make(const QIcon &menuPicture, const QIcon &toolbarPicture)
{
    if (menuPicture.isNull() || toolbarPicture.isNull())
        return menuPicture.isNull() ? toolbarPicture : menuPicture;
    return QIcon(new Engine(menuPicture, toolbarPicture));
}

}  // namespace CommandPicture
