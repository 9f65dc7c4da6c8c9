// SPDX-License-Identifier: MIT
#include "WindowPlacement.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

QPoint CentredFramePosition(const QSize& client, const QMargins& frame, const QRect& area)
{
    const QSize whole = client.grownBy(frame);
    QPoint at(
        area.left() + (area.width() - whole.width()) / 2, area.top() + (area.height() - whole.height()) / 2);
    // Past the right or bottom edge first, then the left and top edges win.
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - whole.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - whole.height())));
    return at;
}

namespace {

class TCentring : public QObject {
public:
    TCentring(QWidget& window, std::function<QRect()> area)
        : QObject(&window)
        , m_window(window)
        , m_area(std::move(area))
    {
        window.installEventFilter(this);
        Centre();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) {
            // The window settles its size on this event (a message box does); centre after it.
            m_window.removeEventFilter(this);
            watched->event(event);
            m_window.installEventFilter(this);
            WatchHandle();
            Centre();
            return true;
        }
        if (event->type() == QEvent::Expose || event->type() == QEvent::Move
            || event->type() == QEvent::Resize) {
            if (m_window.isVisible() && Frame() != m_frame)
                Centre();
        }
        return false;
    }

private:
    QMargins Frame() const
    {
        const QWindow* handle = m_window.windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }
    void WatchHandle()
    {
        QWindow* handle = m_window.windowHandle();
        if (handle && handle != m_handle) {
            m_handle = handle;
            handle->installEventFilter(this);
        }
    }
    void Centre()
    {
        m_frame = Frame();
        m_window.move(CentredFramePosition(m_window.size(), m_frame, m_area()));
    }

    QWidget& m_window;
    std::function<QRect()> m_area;
    QWindow* m_handle = nullptr;
    QMargins m_frame; // the frame the window was last centred with
};

} // namespace

void KeepCentred(QWidget& window, std::function<QRect()> area)
{
    new TCentring(window, std::move(area));
}
