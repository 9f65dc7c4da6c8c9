// SPDX-License-Identifier: MIT
#include "AdvEdit.h"
#include "EditValue.h"
#include "ShellService.h"
#include "VersionText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

TAdvEdit::TAdvEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TAdvEdit::OnTextChanged);
    m_wasEnabled = isEnabled();
    ApplyPalette();
}

TAdvEdit::~TAdvEdit() = default;

QString TAdvEdit::Text() const
{
    return EditValue::ValueOf(QLineEdit::text(), FPrefix, FSuffix);
}

void TAdvEdit::SetText(const QString& value)
{
    const QString v = FormatValue(value);
    QLineEdit::setText(FPrefix + v + FSuffix);
    SetModified(false);
    if (FShowURL)
        SetUrlLook(IsUrlText());
}

void TAdvEdit::SetPrefix(const QString& p)
{
    const QString v = Text();
    FPrefix = p;
    QLineEdit::setText(v);
    SetText(v);
}

void TAdvEdit::SetSuffix(const QString& s)
{
    const QString v = Text();
    FSuffix = s;
    QLineEdit::setText(v);
    SetText(v);
}

void TAdvEdit::SetColor(TColor c)
{
    FColor = c;
    FNormalColor = c;
    m_shownBackground = c;
    ApplyPalette();
}

void TAdvEdit::SetBackground(TColor c)
{
    FColor = c;
    m_shownBackground = c;
    ApplyPalette();
}

void TAdvEdit::SetFontColor(TColor c)
{
    m_fontColor = c;
    ApplyPalette();
}

void TAdvEdit::SetShownFontColor(TColor c)
{
    SetFontColor(c);
}

void TAdvEdit::ApplyPalette()
{
    QPalette pal = palette();
    const QColor bg = FTransparent ? QColor(Qt::transparent) : ColorToQColor(m_shownBackground);
    const QColor fg = ColorToQColor(m_fontColor);
    for (auto g : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        pal.setColor(g, QPalette::Base, bg);
        pal.setColor(g, QPalette::Window, bg);
        if (g != QPalette::Disabled)
            pal.setColor(g, QPalette::Text, fg);
    }
    // a style's pale disabled text vanishes on the grey disabled background
    pal.setColor(QPalette::Disabled, QPalette::Text, ColorToQColor(clGray));
    setPalette(pal);
    update();
}

void TAdvEdit::SetModified(bool b)
{
    if (IsLoading() || isReadOnly())
        return;
    if (FShowModified)
        SetShownFontColor(b ? FModifiedColor : FFontColor);
    setModified(b);
    FIsModified = b;
}

void TAdvEdit::SetIsError(bool b)
{
    if (IsLoading() || b == FError)
        return;
    FError = b;
    if (!FShowError)
        return;
    if (b) {
        SetBackground(FErrorColor);
        SetShownFontColor(FErrorFontColor);
    } else if (hasFocus()) {
        SetBackground(FFocusColor == clNone ? FNormalColor : FFocusColor);
        if (FFocusFontColor != clNone)
            SetShownFontColor(FFocusFontColor);
    } else {
        SetColor(FNormalColor);
        SetShownFontColor(FFontColor);
    }
}

QString TAdvEdit::Version() const
{
    return VersionText(VersionNumber());
}

int TAdvEdit::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TAdvEdit::SetSel(int start, int length)
{
    if (length == 0)
        setCursorPosition(start);
    else
        setSelection(start, length);
}

void TAdvEdit::SelectAll()
{
    const auto s = EditValue::SelectAllRange(Text(), int(FPrefix.size()), FShowURL);
    // the URL case may select past the value end; the line edit clips it
    setSelection(s.start, qMin(s.length, int(QLineEdit::text().size()) - s.start));
}

void TAdvEdit::Init()
{
    FNormalColor = FColor;
    FFontColor = m_fontColor;
    FOldBorder = hasFrame();
    FFlat = !FFlat;
    SetFlat(!FFlat);
    if (!isEnabled()) {
        const TColor keep = FNormalColor;
        SetBackground(FDisabledColor);
        FNormalColor = keep;
    }
    m_wasEnabled = isEnabled();
}

void TAdvEdit::Loaded()
{
    FLoadedHeight = height();
    Init();
    setGeometry(x(), y(), width(), FLoadedHeight);
    LoadPersist();
    LabelSetup();
}

void TAdvEdit::SetEditAlign(TEditAlign a)
{
    if (a == FEditAlign)
        return;
    FEditAlign = a;
    Qt::Alignment al = Qt::AlignLeft;
    if (a == eaRight)
        al = Qt::AlignRight;
    else if (a == eaCenter)
        al = Qt::AlignHCenter;
    setAlignment(al | Qt::AlignVCenter);
}

void TAdvEdit::SetFlat(bool b)
{
    if (b == FFlat)
        return;
    FFlat = b;
    if (IsLoading())
        return;
    if (b) {
        FNormalColor = FColor;
        if (FFlatParentColor && parentWidget()) {
            const TColor pc
                = QColorToColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
            SetBackground(pc);
            FFocusColor = pc;
        } else {
            SetBackground(FNormalColor);
        }
        setFrame(false);
    } else {
        SetBackground(FNormalColor);
        setFrame(FOldBorder);
    }
    UpdateTextRect(b);
    update();
}

void TAdvEdit::SetTransparent(bool b)
{
    if (b == FTransparent)
        return;
    FTransparent = b;
    setAutoFillBackground(!b);
    ApplyPalette();
}

void TAdvEdit::SetShowURL(bool b)
{
    if (b == FShowURL)
        return;
    FShowURL = b;
    SetUrlLook(b && IsUrlText());
}

void TAdvEdit::SetUrlLook(bool on)
{
    if (on == FIsUrl)
        return;
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    FIsUrl = on;
    if (on) {
        SetShownFontColor(FURLColor);
        setCursor(Qt::PointingHandCursor);
    } else {
        SetShownFontColor(FFontColor);
        setCursor(Qt::IBeamCursor);
    }
}

bool TAdvEdit::IsUrlText() const
{
    return EditValue::IsUrlText(Text());
}

bool TAdvEdit::ValidateValue(const QString& value)
{
    if (FIsValidating)
        return true;
    FIsValidating = true;
    bool valid = true;
    DoValidateValue(value, valid);
    FIsValidating = false;
    return valid;
}

void TAdvEdit::DoValidateValue(const QString& value, bool& isValid)
{
    if (OnValueValidate)
        OnValueValidate(this, value, isValid);
}

void TAdvEdit::OnTextChanged()
{
    if (FBlockChange) {
        FBlockChange = false;
        return;
    }
    if (FTransparent)
        update();
    if (FShowURL)
        SetUrlLook(IsUrlText());
    Change();
}

void TAdvEdit::Change()
{
    if (!IsLoading() && FShowError)
        SetIsError(!ValidateValue(Text()));
    if (OnChange)
        OnChange(this);
    emit Changed();
}

void TAdvEdit::UpdateTextRect(bool inset)
{
    const QRect r = EditValue::TextRect(rect(), inset, true, font().pointSize(), FIndentL, FIndentR);
    if (inset)
        setTextMargins(r.left(), r.top(), rect().width() - r.right() - 1, rect().height() - r.bottom() - 1);
    else
        setTextMargins(r.left(), 0, rect().width() - r.right() - 1, 0);
}

void TAdvEdit::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    UpdateTextRect(FFlat);
}

void TAdvEdit::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        UpdateTextRect(FFlat);
    } else if (e->type() == QEvent::EnabledChange) {
        const bool now = isEnabled();
        if (IsLoading() || now == m_wasEnabled)
            return;
        m_wasEnabled = now;
        if (now) {
            SetColor(FNormalColor);
        } else {
            const TColor keep = FColor;
            SetColor(FDisabledColor);
            FNormalColor = keep;
        }
        LabelEnabledChanged(now);
    }
}

// ---- focus ----

void TAdvEdit::focusInEvent(QFocusEvent* e)
{
    if (IsLoading())
        return;
    QLineEdit::focusInEvent(e);
    FOldString = Text();
    if (FFocusColor != clNone)
        SetBackground(FFocusColor);
    if (!ErrorShowing() && !FShowModified) {
        FFontColor = m_fontColor;
        if (!(IsUrlText() && FShowURL) && FFocusFontColor != clNone)
            SetShownFontColor(FFocusFontColor);
    }
    // focusing by any means selects the value (the line edit only does so for Tab)
    SelectAll();
    if (FFocusLabel)
        LabelFocusChanged(true);
    if (FFocusWidthInc > 0 && !FAlignChanging)
        resize(width() + FFocusWidthInc, height());
    FOldEditAlign = FEditAlign;
    if (FFocusAlign != FEditAlign && FFocusAlign != eaDefault) {
        FAlignChanging = true;
        SetEditAlign(FFocusAlign);
        FAlignChanging = false;
    }
    update();
}

void TAdvEdit::focusOutEvent(QFocusEvent* e)
{
    if (IsLoading())
        return;
    LookupFocusLost();
    if (!FError && FColor != FNormalColor)
        SetColor(FNormalColor);
    if (!ErrorShowing() && !FShowModified && !(FIsUrl && FShowURL))
        SetShownFontColor(FFontColor);
    if (FFocusLabel)
        LabelFocusChanged(false);
    ValidateValue(Text());
    QLineEdit::focusOutEvent(e);
    if (!FAlignChanging) {
        if (FFocusWidthInc > 0)
            resize(width() - FFocusWidthInc, height());
        if (FOldEditAlign != FEditAlign && FFocusAlign != eaDefault)
            SetEditAlign(FOldEditAlign);
    }
    update();
}

// ---- keyboard ----

void TAdvEdit::keyPressEvent(QKeyEvent* e)
{
    // Escape: the undo to the value held at focus time comes before any key handling.
    if (e->key() == Qt::Key_Escape && FCanUndo && e->modifiers() == Qt::NoModifier) {
        SetText(FOldString);
        if (FFocusFontColor != clNone)
            SetShownFontColor(FFocusFontColor);
        SelectAll();
        SetModified(false);
        e->accept();
        if (parentWidget() && FDefaultHandling) {
            QCoreApplication::postEvent(
                parentWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            QCoreApplication::postEvent(
                parentWidget(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
        }
        return;
    }
    // Clipboard keys go through our own commands (events, read-only rule).
    if (e == QKeySequence::Copy) {
        CopyToClipboard();
        e->accept();
        return;
    }
    if (e == QKeySequence::Cut) {
        CutToClipboard();
        e->accept();
        return;
    }
    if (e == QKeySequence::Paste) {
        PasteFromClipboard();
        e->accept();
        return;
    }

    const bool ok = KeyDownSteps(e) && CharacterSteps(e);
    // A block armed by a keystroke that changed nothing must not swallow a later, unrelated change.
    FBlockChange = false;
    if (!ok)
        e->accept();
}

bool TAdvEdit::KeyDownSteps(QKeyEvent* e)
{
    const int key = e->key();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const int prefixLen = int(FPrefix.size());
    if (enter && LookupVisible())
        return LookupKey(e), false;
    if ((key == Qt::Key_Tab || enter) && ctrl) {
        QLineEdit::keyPressEvent(e);
        return false;
    }
    if (LookupVisible() && LookupKey(e))
        return false;
    if (enter && FReturnIsTab) {
        focusNextChild();
        return false;
    }
    // the selection end is where the caret is, or the far end of the selection
    const int selEnd = hasSelectedText() ? SelEnd() : cursorPosition();
    if (key == Qt::Key_Right && !FSuffix.isEmpty() && selEnd >= ValueEnd())
        return false;
    if (key == Qt::Key_Delete && !FSuffix.isEmpty()) {
        if (selEnd >= ValueEnd() && !hasSelectedText())
            return false;
        SetModified(true);
    }
    if (key == Qt::Key_Left && !FPrefix.isEmpty() && selEnd <= prefixLen && !hasSelectedText())
        return false;
    if (key == Qt::Key_End && !FSuffix.isEmpty()) {
        if (shift)
            SetSel(SelStart(), ValueEnd() - SelStart());
        else
            setCursorPosition(ValueEnd());
        return false;
    }
    if (key == Qt::Key_Home && !FPrefix.isEmpty()) {
        if (shift) {
            setCursorPosition(ValueEnd());
            cursorBackward(true, ValueEnd() - prefixLen);
        } else {
            setCursorPosition(prefixLen);
        }
        return false;
    }
    if (key == Qt::Key_Delete && SelStart() >= prefixLen && FSuffix.isEmpty())
        SetModified(true);
    if (!e->text().isEmpty() && key != Qt::Key_Delete)
        return true; // the character steps decide
    QLineEdit::keyPressEvent(e);
    if (!FPrefix.isEmpty() && cursorPosition() < prefixLen && !hasSelectedText())
        setCursorPosition(prefixLen);
    return false; // handled completely
}

bool TAdvEdit::CharacterSteps(QKeyEvent* e)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int key = e->key();
    const QString value = Text();
    const int prefixLen = int(FPrefix.size());
    QChar ch = e->text().isEmpty() ? QChar() : e->text().at(0);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ch = QChar(13);
    else if (key == Qt::Key_Backspace)
        ch = QChar(8);

    if (SelLength() == value.size() && !value.isEmpty())
        FBlockChange = true;
    if (ch == QChar(13) && ctrl)
        return false;
    if (ch == QChar(13)) {
        if (OnKeyPress) {
            QChar cr(13);
            OnKeyPress(this, cr);
        }
        if (!FDefaultHandling && parentWidget()) {
            QCoreApplication::postEvent(
                parentWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
            QCoreApplication::postEvent(
                parentWidget(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
        }
        return false;
    }
    if (key == Qt::Key_Escape) {
        if (!FDefaultHandling && parentWidget()) {
            QCoreApplication::postEvent(
                parentWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            QCoreApplication::postEvent(
                parentWidget(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
        }
        // without undo the line edit gets it (and lets it travel on)
        QLineEdit::keyPressEvent(e);
        return true;
    }
    if (ch == QChar(8)) {
        if (!FPrefix.isEmpty() && !hasSelectedText() && SelStart() <= prefixLen)
            return false;
        const QString after = EditValue::AfterBackspace(value, prefixLen, SelStart(), SelLength());
        if (after != value)
            SetModified(true);
        QLineEdit::keyPressEvent(e);
        if (Text().isEmpty() && !after.isEmpty())
            Change();
        return true;
    }
    if ((ch == QChar(10)) && ctrl)
        return false;
    if (ctrl && !ch.isPrint()) {
        QLineEdit::keyPressEvent(e);
        return true;
    }
    if (!TypedCharacter(ch))
        return false;
    SetModified(true);
    QLineEdit::keyPressEvent(e);
    if (isModified())
        SetModified(true);
    UpdateLookupList();
    return true;
}

// ---- clipboard ----

void TAdvEdit::CopyToClipboard()
{
    bool allow = true;
    if (OnClipboardCopy && !FBlockCopy)
        OnClipboardCopy(this, selectedText(), allow);
    FBlockCopy = false;
    if (allow && hasSelectedText() && echoMode() == QLineEdit::Normal)
        QApplication::clipboard()->setText(selectedText());
}

void TAdvEdit::CutToClipboard()
{
    FBlockCopy = true;
    bool allow = true;
    if (OnClipboardCut)
        OnClipboardCut(this, selectedText(), allow);
    if (allow && !isReadOnly())
        cut();
    FBlockCopy = false;
}

void TAdvEdit::PasteFromClipboard()
{
    if (isReadOnly())
        return;
    const QString clip = QApplication::clipboard()->text();
    if (clip.isEmpty())
        return;
    // the pasted text is limited to the value, never into the prefix or suffix
    const int prefixLen = int(FPrefix.size());
    const QString value = Text();
    const int start = qBound(0, SelStart() - prefixLen, int(value.size()));
    const int len = qBound(0, SelLength(), int(value.size()) - start);
    QString insert = clip.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
    const int room = maxLength() - int(QLineEdit::text().size()) + len;
    if (insert.size() > room)
        insert.truncate(qMax(0, room));
    const QString newValue = value.left(start) + insert + value.mid(start + len);
    bool allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(this, newValue, allow);
    if (!allow || !AcceptPastedValue(newValue))
        return;
    QLineEdit::setText(FPrefix + newValue + FSuffix);
    setCursorPosition(prefixLen + start + int(insert.size()));
    SetModified(true);
}

void TAdvEdit::contextMenuEvent(QContextMenuEvent* e)
{
    // Our own menu: the clipboard commands must run through the field's rules and events.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool ro = isReadOnly();
    const bool sel = hasSelectedText();
    const bool shown = echoMode() == QLineEdit::Normal;
    auto add
        = [&](const QString& text, const char* name, QKeySequence::StandardKey key, bool enabled, auto slot) {
              QAction* a = menu->addAction(text);
              a->setObjectName(QLatin1String(name));
              a->setShortcut(key);
              a->setEnabled(enabled);
              connect(a, &QAction::triggered, this, slot);
          };
    if (!ro) {
        add(tr("&Undo"), "edit-undo", QKeySequence::Undo, isUndoAvailable(), &QLineEdit::undo);
        add(tr("&Redo"), "edit-redo", QKeySequence::Redo, isRedoAvailable(), &QLineEdit::redo);
        menu->addSeparator();
        add(tr("Cu&t"), "edit-cut", QKeySequence::Cut, sel && shown, &TAdvEdit::CutToClipboard);
    }
    add(tr("&Copy"), "edit-copy", QKeySequence::Copy, sel && shown, &TAdvEdit::CopyToClipboard);
    if (!ro) {
        add(tr("&Paste"), "edit-paste", QKeySequence::Paste, !QApplication::clipboard()->text().isEmpty(),
            &TAdvEdit::PasteFromClipboard);
        add(tr("Delete"), "edit-delete", QKeySequence::Delete, sel, &QLineEdit::del);
    }
    menu->addSeparator();
    add(tr("Select All"), "select-all", QKeySequence::SelectAll, !Text().isEmpty(), &TAdvEdit::SelectAll);
    menu->popup(e->globalPos());
}

// ---- mouse ----

void TAdvEdit::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && hasSelectedText() && hasFocus()) {
        const int c = CharFromPos(e->position().toPoint());
        if (c >= SelStart() && c <= SelEnd()) {
            FButtonDown = true;
            return;
        }
    }
    QLineEdit::mousePressEvent(e);
}

void TAdvEdit::mouseMoveEvent(QMouseEvent* e)
{
    if (!FButtonDown)
        QLineEdit::mouseMoveEvent(e);
    if (hasSelectedText() && FButtonDown && StartTextDrag(selectedText()))
        FButtonDown = false;
}

void TAdvEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QLineEdit::mouseReleaseEvent(e);
        return;
    }
    if (FButtonDown)
        setCursorPosition(CharFromPos(e->position().toPoint()));
    FButtonDown = false;
    QLineEdit::mouseReleaseEvent(e);
    if (FIsUrl && hasFocus() && FShowURL) {
        bool show = true;
        const QString v = Text();
        if (OnURLClick)
            OnURLClick(this, v, show);
        if (show)
            ShellService().Open(EditValue::ShellTarget(v));
        return;
    }
    const int prefixLen = int(FPrefix.size());
    if (!FPrefix.isEmpty() && SelStart() < prefixLen)
        setSelection(prefixLen, int(Text().size()));
    if (!FSuffix.isEmpty()) {
        const int end = ValueEnd();
        if (!hasSelectedText() && cursorPosition() > end)
            setCursorPosition(end);
        else if (hasSelectedText() && SelEnd() > end)
            setSelection(SelStart(), end - SelStart());
    }
}

void TAdvEdit::enterEvent(QEnterEvent* e)
{
    QLineEdit::enterEvent(e);
    if (FAutoFocus)
        setFocus(Qt::MouseFocusReason);
    if (!FMouseInControl && isEnabled()) {
        FMouseInControl = true;
        if (FFocusBorder)
            update();
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TAdvEdit::leaveEvent(QEvent* e)
{
    QLineEdit::leaveEvent(e);
    if (FMouseInControl && isEnabled()) {
        FMouseInControl = false;
        if (FFocusBorder)
            update();
    }
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TAdvEdit::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && FHintShowLargeText && GetTextSize() > width()) {
        auto* he = static_cast<QHelpEvent*>(e);
        Q_UNUSED(he);
        QToolTip::showText(mapToGlobal(QPoint(0, 0)), Text(), this);
        return true;
    }
    return QLineEdit::event(e);
}

// ---- measuring ----

int TAdvEdit::GetTextSize() const
{
    return fontMetrics().horizontalAdvance(Text());
}

int TAdvEdit::CharFromPos(const QPoint& pt) const
{
    return const_cast<TAdvEdit*>(this)->cursorPositionAt(pt);
}

QPoint TAdvEdit::PosFromChar(int index) const
{
    const QString t = QLineEdit::text();
    if (t.isEmpty())
        return QPoint(0, 0);
    const QRect cr = cursorRect();
    // the cursor rectangle gives the left edge and scroll of the caret; measure from the caret
    const int caret = cursorPosition();
    const QFontMetrics fm = fontMetrics();
    const int i = qBound(0, index, int(t.size()));
    const int caretX = cr.center().x();
    const int x = caretX + fm.horizontalAdvance(t.left(i)) - fm.horizontalAdvance(t.left(caret));
    return QPoint(x, cr.top());
}

// ---- painting ----

bool TAdvEdit::BorderActive() const
{
    return FBorder3D || (FFocusBorder && (FMouseInControl || hasFocus()));
}

void TAdvEdit::PaintBorder(QPainter& p) const
{
    const QRect r = rect();
    p.setBrush(Qt::NoBrush);
    auto frame = [&](const QRect& rr, const QColor& c) {
        p.setPen(QPen(c, 1));
        p.drawRect(rr.adjusted(0, 0, -1, -1));
    };
    if (!isEnabled() && FIsThemed && FDisabledBorder) {
        frame(r, ColorToQColor(0xC0C0C0));
        return;
    }
    if (FFocusBorderColor != clNone) {
        if (hasFocus())
            frame(r, ColorToQColor(FFocusBorderColor));
        return;
    }
    if (!isEnabled())
        return;
    if (BorderActive()) {
        // sunken outer edge, then a face-coloured ring inside it
        p.setPen(ColorToQColor(clBtnShadow));
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(ColorToQColor(clBtnHighlight));
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        frame(r.adjusted(1, 1, -1, -1), ColorToQColor(clBtnFace));
    } else if (parentWidget()) {
        const QColor pc = parentWidget()->palette().color(parentWidget()->backgroundRole());
        frame(r, pc);
        frame(r.adjusted(1, 1, -1, -1), pc);
    }
}

void TAdvEdit::PaintErrorMarker(QPainter& p) const
{
    const int n = int(Text().size());
    const int P = FErrorMarkerPos, L = FErrorMarkerLen;
    const int h = fontMetrics().height() - 1;
    QPoint s = P < n ? PosFromChar(P) : PosFromChar(n) + QPoint(4, 0);
    QPoint en = P + L < n ? PosFromChar(P + L - 1) : PosFromChar(n - 1) + QPoint(4, 0);
    if (P + L >= n)
        en.setY(s.y());
    p.setPen(QPen(ColorToQColor(0x0000FF), 2));
    QPoint cur(s.x(), s.y() + h + 3);
    int z = 3;
    int x = s.x();
    while (x <= en.x()) {
        z = z == 3 ? 0 : 3;
        const QPoint next(x + 3, en.y() + h + z);
        p.drawLine(cur, next);
        cur = next;
        x += 3;
    }
    z = z == 3 ? 0 : 3;
    p.drawLine(cur, QPoint(x + 3, en.y() + h + z));
}

void TAdvEdit::paintEvent(QPaintEvent* e)
{
    QLineEdit::paintEvent(e);
    QPainter p(this);
    if (FFlat) {
        if (FFocusBorder) {
            PaintBorder(p);
        } else if (FFlatLineColor != clNone) {
            p.setPen(ColorToQColor(isEnabled() ? FFlatLineColor : 0x808080));
            const QRect f = EditValue::TextRect(rect(), true, true, font().pointSize(), FIndentL, FIndentR);
            const int H = height(), W = width();
            if (FSoftBorder)
                p.drawPolygon(QPolygon({ QPoint(f.left() - 4 + FIndentL, H - 1), QPoint(W - 1, H - 1),
                    QPoint(W - 1, f.top() - 3), QPoint(f.left() - 4 + FIndentL, f.top() - 3) }));
            else
                p.drawLine(f.left() - 2 + FIndentL, H - 1, W - FIndentR, H - 1);
        }
    }
    if (FCaretPos != QPoint(-1, -1))
        p.drawRect(FCaretPos.x(), FCaretPos.y(), 1, fontMetrics().height());
    if (Text().isEmpty() && !hasFocus() && !FEmptyText.isEmpty()) {
        p.setPen(ColorToQColor(0x808080));
        p.setFont(QApplication::font());
        p.drawText(QPoint(2, 2 + QFontMetrics(QApplication::font()).ascent()), FEmptyText);
    }
    if (!hasFocus() && FErrorMarkerLen > 0)
        PaintErrorMarker(p);
    if (FBorder3D || FFocusBorderColor != clNone || (!isEnabled() && FDisabledBorder)
        || (FFocusBorder && FMouseInControl))
        PaintBorder(p);
}
