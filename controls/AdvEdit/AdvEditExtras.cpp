// SPDX-License-Identifier: MIT
// TAdvEdit's attached label, lookup list, kept value and drag and drop: the widget's side of each;
// their rules are in AdvEditLabel, AdvEditLookup, AdvEditPersist and AdvEddd.
#include "AdvEddd.h"
#include "AdvEdit.h"
#include "AdvEditControl.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QScreen>

// ---- attached label ----

QString TAdvEdit::LabelCaption() const
{
    return FLabel ? FLabel->text() : QString();
}

void TAdvEdit::setLabelCaption(const QString& caption)
{
    const QString old = LabelCaption();
    const bool created = !FLabel;
    if (created) {
        FLabel = new TEditLabel(parentWidget());
        FLabel->setBuddy(this);
        FLabel->setFont(FLabelFont);
        connect(FLabel, &TEditLabel::clicked, this, [this] {
            if (OnLabelClick)
                OnLabelClick(this);
        });
        connect(FLabel, &TEditLabel::doubleClicked, this, [this] {
            if (OnLabelDblClick)
                OnLabelDblClick(this);
        });
        if (!FLabelAlwaysEnabled)
            FLabel->setEnabled(isEnabled());
    }
    FLabel->setText(caption);
    UpdateLabelPosition();
    if (created)
        emit editLabelChanged();
    if (caption != old)
        emit labelCaptionChanged(caption);
}

void TAdvEdit::setLabelPosition(AdvEditLabels::TLabelPosition position)
{
    Notify(FLabelPosition, position, &TAdvEdit::labelPositionChanged);
    UpdateLabelPosition();
}

void TAdvEdit::setLabelMargin(int margin)
{
    Notify(FLabelMargin, margin, &TAdvEdit::labelMarginChanged);
    UpdateLabelPosition();
}

void TAdvEdit::setLabelTransparent(bool b)
{
    Notify(FLabelTransparent, b, &TAdvEdit::labelTransparentChanged);
    UpdateLabelPosition();
}

void TAdvEdit::setLabelAlwaysEnabled(bool b)
{
    Notify(FLabelAlwaysEnabled, b, &TAdvEdit::labelAlwaysEnabledChanged);
    if (FLabel)
        FLabel->setEnabled(b || isEnabled());
}

void TAdvEdit::setLabelFont(const QFont& font)
{
    if (testAttribute(Qt::WA_SetFont)) {
        Notify(FLabelFont, font, &TAdvEdit::labelFontChanged);
        UpdateLabelPosition();
    }
}

QLabel* TAdvEdit::EditLabel() const
{
    return FLabel;
}

QFont TAdvEdit::LabelFontNow() const
{
    QFont f = FParentFnt ? font() : FLabelFont;
    if (m_labelBold)
        f.setBold(true);
    return f;
}

void TAdvEdit::UpdateLabelPosition()
{
    if (!FLabel)
        return;
    FLabel->setAutoFillBackground(!FLabelTransparent);
    FLabel->setFont(LabelFontNow());
    FLabel->adjustSize();
    const int textWidth = FLabel->fontMetrics().horizontalAdvance(FLabel->text());
    FLabel->move(AdvEditLabels::Place(FLabelPosition, geometry(), FLabel->size(), textWidth, FLabelMargin));
    LabelFollows();
}

// The label's parent and visibility are the field's.
void TAdvEdit::LabelFollows()
{
    if (!FLabel)
        return;
    if (FLabel->parentWidget() != parentWidget()) {
        FLabel->setParent(parentWidget());
        UpdateLabelPosition();
        return;
    }
    FLabel->setHidden(!parentWidget() || isHidden());
}

void TAdvEdit::moveEvent(QMoveEvent* e)
{
    QLineEdit::moveEvent(e);
    UpdateLabelPosition();
}

void TAdvEdit::setVisible(bool visible)
{
    QLineEdit::setVisible(visible);
    LabelFollows();
}

void TAdvEdit::hideEvent(QHideEvent* e)
{
    QLineEdit::hideEvent(e);
    HideLookup();
}

// ---- lookup list ----

bool TAdvEdit::LookupShown() const
{
    return FLookupList && FLookupList->isVisible();
}

void TAdvEdit::UpdateLookupList()
{
    if (!FLookup->Enabled())
        return;
    const Lookup::TypedPart typed = Lookup::Typed(Text(), FLookup->Multi(), FLookup->Separator());
    if (typed.text.size() < FLookup->NumChars()) {
        HideLookup();
        return;
    }
    const QList<Lookup::Row> rows
        = Lookup::Rows(FLookup->DisplayList(), typed.text, FLookup->CaseSensitive());
    if (rows.isEmpty()) {
        HideLookup();
        return;
    }
    if (!FLookupList) {
        FLookupList = new TLookupList(this);
        connect(FLookupList, &TLookupList::chosen, this, &TAdvEdit::SelectLookupItem);
    }
    const bool shown = FLookupList->isVisible();
    FLookupList->setRows(rows, FLookup->Color(), FLookup->DisplayCount());
    const QSize size = FLookupList->SizeFor(FLookup->DisplayCount(), shown);
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const QPoint spot(
        origin.x() + 8 + PosFromChar(m_control.PrefixLength() + typed.start).x(), origin.y() + height() - 6);
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(spot, size);
    FLookupList->setGeometry(QRect(Lookup::Place(spot, size, screenArea, origin.y()), size));
    if (!shown) {
        FLookupList->show();
        // a click elsewhere, the window moving or going away closes it
        qApp->installEventFilter(this);
    }
}

void TAdvEdit::HideLookup()
{
    if (!LookupShown())
        return;
    FLookupList->hide();
    qApp->removeEventFilter(this);
}

bool TAdvEdit::LookupKey(int key)
{
    const int rows = FLookupList->RowCount();
    const int row = FLookupList->CurrentRow();
    const int page = FLookup->DisplayCount();
    switch (key) {
    case Qt::Key_Home:
        FLookupList->setCurrentRow(0);
        return true;
    case Qt::Key_End:
        FLookupList->setCurrentRow(rows - 1);
        return true;
    case Qt::Key_PageDown:
        FLookupList->setCurrentRow(row + page < rows ? row + page : rows - 1);
        return true;
    case Qt::Key_PageUp:
        FLookupList->setCurrentRow(row > page ? row - page : 0);
        return true;
    case Qt::Key_Up:
        if (row > 0)
            FLookupList->setCurrentRow(row - 1);
        return true;
    case Qt::Key_Down:
        if (row < rows - 1)
            FLookupList->setCurrentRow(row + 1);
        return true;
    case Qt::Key_Escape:
        HideLookup();
        return true;
    default:
        return false;
    }
}

void TAdvEdit::SelectLookupItem()
{
    if (QWidget* w = window(); w && !w->isActiveWindow())
        w->activateWindow();
    setFocus(Qt::OtherFocusReason);
    const bool shown = LookupShown();
    HideLookup();
    if (!shown || !FLookupList || FLookupList->CurrentRow() < 0)
        return;
    const Lookup::Row row = FLookupList->Current();
    const QStringList values = FLookup->ValueList();
    QString text = row.index >= 0 && row.index < values.size() ? values[row.index] : row.text;
    if (OnLookupSelect)
        OnLookupSelect(this, text);
    if (OnLookupIndexSelect)
        OnLookupIndexSelect(this, row.index, text);
    if (!FLookup->Multi()) {
        setText(text);
        SelectAll();
    } else {
        setText(Lookup::MultiValue(Text(), FLookup->Separator(), text));
        setCursorPosition(ValueEnd());
    }
}

bool TAdvEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (LookupShown()) {
        const QEvent::Type t = e->type();
        // a press reaches the window first and then its widget; the widget tells where it was
        auto* w = qobject_cast<QWidget*>(watched);
        const bool mine = w && (w == this || w == FLookupList || FLookupList->isAncestorOf(w));
        if ((t == QEvent::MouseButtonPress && w && !mine)
            || ((t == QEvent::Move || t == QEvent::Resize || t == QEvent::Hide
                    || t == QEvent::WindowDeactivate)
                && w && w == window()))
            HideLookup();
    }
    return QLineEdit::eventFilter(watched, e);
}

// ---- persistence ----

void TAdvEdit::LoadPersist()
{
    if (EditType() == etPassword) // a password is never written to a settings file
        return;
    const TPersistedValue kept
        = Persist::Load(*FPersistence, objectName(), FLookup->Enabled() && FLookup->History());
    if (kept.controlText)
        QLineEdit::setText(*kept.controlText);
    if (!kept.values.isEmpty())
        FLookup->setValueList(FLookup->ValueList() + kept.values);
    if (!kept.display.isEmpty())
        FLookup->setDisplayList(FLookup->DisplayList() + kept.display);
}

void TAdvEdit::SavePersist()
{
    if (EditType() == etPassword)
        return;
    Persist::Save(*FPersistence, objectName(), QLineEdit::text(), FLookup->Enabled() && FLookup->History(),
        FLookup->DisplayList(), FLookup->ValueList());
}

// ---- drag and drop ----

void TAdvEdit::setOleDropTarget(bool b)
{
    Notify(FOleDropTarget, b, &TAdvEdit::oleDropTargetChanged);
    setAcceptDrops(b);
}

int TAdvEdit::DropIndex(const QPoint& pos) const
{
    return qBound(m_control.PrefixLength(), CharFromPos(pos), ValueEnd());
}

// Accepts a drag the field can take: copy with Control, else move. False when it cannot.
bool TAdvEdit::AcceptDrag(QDropEvent* e)
{
    if (!FOleDropTarget || isReadOnly() || ReadDropped(e->mimeData()).kind == TDroppedData::Nothing) {
        e->ignore();
        return false;
    }
    const Qt::DropAction wanted = (e->modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
    e->setDropAction(e->possibleActions() & wanted ? wanted : e->proposedAction());
    e->accept();
    return true;
}

void TAdvEdit::dragEnterEvent(QDragEnterEvent* e)
{
    dragMoveEvent(e);
}

void TAdvEdit::dragMoveEvent(QDragMoveEvent* e)
{
    // the mark follows the character nearest the mouse
    if (AcceptDrag(e) && ReadDropped(e->mimeData()).kind == TDroppedData::Text)
        setDropCaret(PosFromChar(DropIndex(e->position().toPoint())));
}

void TAdvEdit::dragLeaveEvent(QDragLeaveEvent* e)
{
    setDropCaret(QPoint(-1, -1));
    e->accept();
}

void TAdvEdit::dropEvent(QDropEvent* e)
{
    setDropCaret(QPoint(-1, -1));
    if (!AcceptDrag(e))
        return;
    const TDroppedData dropped = ReadDropped(e->mimeData());
    if (dropped.kind != TDroppedData::Text)
        return; // a list of files: taken, and ignored
    const auto* own = qobject_cast<const TEditDragData*>(e->mimeData());
    const bool fromSelf = own && own->Source() == this;
    const bool copy = e->dropAction() == Qt::CopyAction;
    const OwnEdit ownEdit(*this);
    if (!m_control.Drop({ dropped.text, DropIndex(e->position().toPoint()), fromSelf, copy })) {
        e->setDropAction(Qt::IgnoreAction);
        e->ignore();
        return;
    }
    m_droppedOnSelf = fromSelf && !copy;
}

bool TAdvEdit::StartTextDrag(const QString& text)
{
    const int start = SelStart() - m_control.PrefixLength();
    const int length = SelLength();
    auto* drag = new QDrag(this);
    drag->setMimeData(new TEditDragData(text, this));
    FIsDragSource = true;
    m_droppedOnSelf = false;
    const Qt::DropActions allowed = isReadOnly() ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction;
    const Qt::DropAction done = drag->exec(allowed, Qt::MoveAction);
    FIsDragSource = false;
    setDropCaret(QPoint(-1, -1));
    // moved elsewhere: the text leaves this field (a move within it was done by the drop)
    if (done == Qt::MoveAction && !m_droppedOnSelf && !isReadOnly()) {
        const OwnEdit own(*this);
        m_control.setValue(Text().remove(start, length), m_control.PrefixLength() + start);
        setModified(true);
    }
    return true;
}
