// SPDX-License-Identifier: MIT
#include "AdvEditLookup.h"

#include "Property.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>
#include <algorithm>

namespace {

bool LessNoCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

} // namespace

void TLookupSettings::setEnabled(bool b)
{
    if (StoreIfChanged(FEnabled, b))
        Changed();
}

void TLookupSettings::setCaseSensitive(bool b)
{
    if (StoreIfChanged(FCaseSensitive, b))
        Changed();
}

void TLookupSettings::setColor(TColor c)
{
    if (StoreIfChanged(FColor, c))
        Changed();
}

void TLookupSettings::setDisplayCount(int n)
{
    if (StoreIfChanged(FDisplayCount, qMax(1, n)))
        Changed();
}

void TLookupSettings::setDisplayList(const QStringList& list)
{
    QStringList sorted;
    for (const QString& s : list) {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), s, LessNoCase);
        const bool there = (at != sorted.end() && at->compare(s, Qt::CaseInsensitive) == 0)
            || (at != sorted.begin() && (at - 1)->compare(s, Qt::CaseInsensitive) == 0);
        if (!there)
            sorted.insert(at, s);
    }
    if (StoreIfChanged(FDisplayList, sorted))
        Changed();
}

bool TLookupSettings::AddDisplay(const QString& entry)
{
    for (const QString& s : FDisplayList)
        if (s.compare(entry, Qt::CaseInsensitive) == 0)
            return false;
    FDisplayList.insert(std::lower_bound(FDisplayList.begin(), FDisplayList.end(), entry, LessNoCase), entry);
    Changed();
    return true;
}

void TLookupSettings::setValueList(const QStringList& list)
{
    if (StoreIfChanged(FValueList, list))
        Changed();
}

void TLookupSettings::setHistory(bool b)
{
    if (StoreIfChanged(FHistory, b))
        Changed();
}

void TLookupSettings::setNumChars(int n)
{
    if (n > 0 && StoreIfChanged(FNumChars, n))
        Changed();
}

void TLookupSettings::setMulti(bool b)
{
    if (StoreIfChanged(FMulti, b))
        Changed();
}

void TLookupSettings::setSeparator(const QString& s)
{
    if (!s.isEmpty() && StoreIfChanged(FSeparator, s.left(1)))
        Changed();
}

void TLookupSettings::Assign(const QObject* source)
{
    const auto* o = qobject_cast<const TLookupSettings*>(source);
    if (!o || o == this)
        return;
    FEnabled = o->FEnabled;
    FCaseSensitive = o->FCaseSensitive;
    FColor = o->FColor;
    FDisplayCount = o->FDisplayCount;
    FDisplayList = o->FDisplayList;
    FValueList = o->FValueList;
    FHistory = o->FHistory;
    FNumChars = o->FNumChars;
    FMulti = o->FMulti;
    FSeparator = o->FSeparator;
    Changed();
}

namespace Lookup {

QList<Row> Rows(const QStringList& displayList, const QString& typed, bool caseSensitive)
{
    QList<Row> rows;
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int i = 0; i < displayList.size(); ++i)
        if (displayList[i].startsWith(typed, cs))
            rows.append({ displayList[i], i });
    std::stable_sort(
        rows.begin(), rows.end(), [](const Row& a, const Row& b) { return LessNoCase(a.text, b.text); });
    return rows;
}

TypedPart Typed(const QString& value, bool multi, const QString& separator)
{
    if (!multi || separator.isEmpty())
        return { value, 0 };
    const int k = int(value.lastIndexOf(separator)) + 1;
    return { value.mid(k), k };
}

QString MultiValue(const QString& value, const QString& separator, const QString& chosen)
{
    return value.left(value.lastIndexOf(separator) + 1) + chosen + separator;
}

QPoint Place(const QPoint& spot, const QSize& size, const QRect& screen, int fieldTop)
{
    QPoint p = spot;
    if (p.y() + size.height() > screen.bottom() + 1)
        p.setY(fieldTop - size.height());
    p.setX(qBound(screen.left(), p.x(), qMax(screen.left(), screen.right() + 1 - size.width())));
    p.setY(qMax(screen.top(), p.y()));
    return p;
}

} // namespace Lookup

TLookupList::TLookupList(QWidget* owner)
    : QFrame(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_list(new QListWidget(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFont(QFont(QStringLiteral("Arial"), 8));
    m_list->viewport()->installEventFilter(this);
    // the user may widen or lengthen it from its bottom-right corner
    m_grip = new QSizeGrip(this);
    m_grip->setFixedSize(GripSize, GripSize);
    resize(0, 0);
}

void TLookupList::setRows(const QList<Lookup::Row>& rows, TColor color, int displayCount)
{
    m_displayCount = displayCount;
    m_list->clear();
    for (const Lookup::Row& r : rows) {
        auto* item = new QListWidgetItem(r.text, m_list);
        item->setData(Qt::UserRole, r.index);
        item->setSizeHint(QSize(0, RowHeight));
    }
    QPalette pal = m_list->palette();
    pal.setColor(QPalette::Base, ColorToQColor(color));
    m_list->setPalette(pal);
    if (!rows.isEmpty())
        m_list->setCurrentRow(0);
}

int TLookupList::RowCount() const
{
    return m_list->count();
}

int TLookupList::CurrentRow() const
{
    return m_list->currentRow();
}

void TLookupList::setCurrentRow(int row)
{
    m_list->setCurrentRow(row);
}

Lookup::Row TLookupList::Current() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? Lookup::Row { item->text(), item->data(Qt::UserRole).toInt() }
                : Lookup::Row { QString(), -1 };
}

QSize TLookupList::SizeFor(int displayCount, bool keepWidth) const
{
    const int rows = RowCount();
    const int height = qMin(rows, displayCount) * RowHeight + 4;
    if (keepWidth)
        return QSize(width(), height);
    int widest = 50;
    const QFontMetrics fm(m_list->font());
    for (int i = 0; i < rows; ++i)
        widest = qMax(widest, fm.horizontalAdvance(m_list->item(i)->text()));
    if (rows > displayCount)
        widest += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return QSize(widest + 10, height);
}

QSize TLookupList::sizeHint() const
{
    return SizeFor(m_displayCount, false);
}

void TLookupList::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    // inside the one-pixel border; a layout would hold the window at the list's own minimum
    m_list->setGeometry(rect().adjusted(1, 1, -1, -1));
    m_grip->move(width() - GripSize, height() - GripSize);
    m_grip->raise();
}

bool TLookupList::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_list->viewport() && e->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (QListWidgetItem* item = m_list->itemAt(static_cast<QMouseEvent*>(e)->position().toPoint())) {
            m_list->setCurrentItem(item);
            emit chosen();
            return true;
        }
    }
    return QFrame::eventFilter(watched, e);
}
