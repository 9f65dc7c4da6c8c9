// SPDX-License-Identifier: MIT
#include "AdvEdit.h"
#include "AdvEditControl.h"
#include "EditValue.h"
#include "Property.h"
#include "ShellService.h"
#include "VersionText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

#include <limits>
#include <utility>

TAdvEdit::TAdvEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_control(static_cast<TEditHost&>(*this))
    , FLabelFont(QApplication::font())
    , FLookup(new TLookupSettings(this))
    , FPersistence(new TPersistence(this))
{
    m_control.setInput(&m_typed);
    setAcceptDrops(false); // drops only with OleDropTarget, through the field's own rules
    // The field's own MaxLength limits typing and pasting; the line edit's would cut assignments.
    QLineEdit::setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &TAdvEdit::ControlTextChanged);
    connect(FLookup, &TLookupSettings::changed, this, [this] {
        if (!FLookup->Enabled())
            HideLookup();
    });
    connect(this, &QLineEdit::textEdited, this, &TAdvEdit::LineEditEdited);
    connect(this, &QLineEdit::selectionChanged, this, &TAdvEdit::RememberSelection);
    connect(this, &QLineEdit::cursorPositionChanged, this, &TAdvEdit::RememberSelection);
    m_wasEnabled = isEnabled();
    ApplyPalette();
}

TAdvEdit::~TAdvEdit()
{
    SavePersist();
    if (FLabel) {
        FLabel->setParent(nullptr);
        delete FLabel;
    }
}

QString TAdvEdit::Text() const
{
    return m_control.Value();
}

void TAdvEdit::setText(const QString& value)
{
    const QString v = m_control.AssignedValue(value);
    QLineEdit::setText(Prefix() + v + Suffix());
    setModified(false);
    if (FShowURL)
        setUrlLook(IsUrlText());
}

QString TAdvEdit::Prefix() const
{
    return m_control.Prefix();
}

void TAdvEdit::setPrefix(const QString& prefix)
{
    Changing(&TAdvEdit::Prefix, &TAdvEdit::prefixChanged, [&] {
        const QString v = Text();
        m_control.setPrefix(prefix);
        QLineEdit::setText(v);
        setText(v);
    });
}

QString TAdvEdit::Suffix() const
{
    return m_control.Suffix();
}

void TAdvEdit::setSuffix(const QString& suffix)
{
    Changing(&TAdvEdit::Suffix, &TAdvEdit::suffixChanged, [&] {
        const QString v = Text();
        m_control.setSuffix(suffix);
        QLineEdit::setText(v);
        setText(v);
    });
}

int TAdvEdit::ValueEnd() const
{
    return m_control.ValueEnd();
}

int TAdvEdit::maxLength() const
{
    return m_control.MaxLength();
}

void TAdvEdit::setMaxLength(int length)
{
    Changing(
        &TAdvEdit::maxLength, &TAdvEdit::maxLengthChanged, [&] { m_control.setMaxLength(qMax(0, length)); });
}

bool TAdvEdit::CanUndo() const
{
    return m_control.CanUndo();
}

void TAdvEdit::setCanUndo(bool b)
{
    Changing(&TAdvEdit::CanUndo, &TAdvEdit::canUndoChanged, [&] { m_control.setCanUndo(b); });
}

bool TAdvEdit::DefaultHandling() const
{
    return m_control.DefaultHandling();
}

void TAdvEdit::setDefaultHandling(bool b)
{
    Changing(&TAdvEdit::DefaultHandling, &TAdvEdit::defaultHandlingChanged,
        [&] { m_control.setDefaultHandling(b); });
}

bool TAdvEdit::ReturnIsTab() const
{
    return m_control.ReturnIsTab();
}

void TAdvEdit::setReturnIsTab(bool b)
{
    Changing(&TAdvEdit::ReturnIsTab, &TAdvEdit::returnIsTabChanged, [&] { m_control.setReturnIsTab(b); });
}

void TAdvEdit::setColor(TColor c)
{
    FNormalColor = c;
    setBackground(c);
}

void TAdvEdit::setBackground(TColor c)
{
    if (c == FColor)
        return;
    FColor = c;
    ApplyPalette();
    emit colorChanged(c);
}

void TAdvEdit::setFontColor(TColor c)
{
    if (c == m_shownFontColor)
        return;
    m_shownFontColor = c;
    ApplyPalette();
    emit fontColorChanged(c);
}

void TAdvEdit::ApplyPalette()
{
    QPalette pal = palette();
    const QColor bg = FTransparent ? QColor(Qt::transparent) : ColorToQColor(FColor);
    const QColor fg = ColorToQColor(m_shownFontColor);
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

void TAdvEdit::setDisabledColor(TColor c)
{
    if (Notify(FDisabledColor, c, &TAdvEdit::disabledColorChanged))
        update();
}

void TAdvEdit::setDisabledBorder(bool b)
{
    if (Notify(FDisabledBorder, b, &TAdvEdit::disabledBorderChanged))
        update();
}

void TAdvEdit::setFocusBorder(bool b)
{
    if (Notify(FFocusBorder, b, &TAdvEdit::focusBorderChanged))
        update();
}

void TAdvEdit::setFocusBorderColor(TColor c)
{
    if (Notify(FFocusBorderColor, c, &TAdvEdit::focusBorderColorChanged))
        update();
}

void TAdvEdit::setBorder3D(bool b)
{
    if (Notify(FBorder3D, b, &TAdvEdit::border3DChanged))
        update();
}

void TAdvEdit::setFlatLineColor(TColor c)
{
    if (Notify(FFlatLineColor, c, &TAdvEdit::flatLineColorChanged))
        update();
}

void TAdvEdit::setSoftBorder(bool b)
{
    if (Notify(FSoftBorder, b, &TAdvEdit::softBorderChanged))
        update();
}

void TAdvEdit::setEmptyText(const QString& t)
{
    if (Notify(FEmptyText, t, &TAdvEdit::emptyTextChanged))
        update();
}

void TAdvEdit::setErrorMarkerPos(int p)
{
    if (Notify(FErrorMarkerPos, p, &TAdvEdit::errorMarkerPosChanged))
        update();
}

void TAdvEdit::setErrorMarkerLen(int l)
{
    if (Notify(FErrorMarkerLen, l, &TAdvEdit::errorMarkerLenChanged))
        update();
}

void TAdvEdit::setDropCaret(const QPoint& clientPos)
{
    if (StoreIfChanged(FCaretPos, clientPos))
        update();
}

void TAdvEdit::setModified(bool b)
{
    if (IsLoading() || isReadOnly())
        return;
    if (FShowModified)
        setFontColor(b ? FModifiedColor : FFontColor);
    QLineEdit::setModified(b);
    if (StoreIfChanged(FIsModified, b))
        emit modifiedChanged(b);
}

void TAdvEdit::setIsError(bool b)
{
    if (IsLoading() || b == FError)
        return;
    FError = b;
    emit errorChanged(b);
    if (!FShowError)
        return;
    if (b) {
        setBackground(FErrorColor);
        setFontColor(FErrorFontColor);
    } else if (hasFocus()) {
        setBackground(FFocusColor == clNone ? FNormalColor : FFocusColor);
        if (FFocusFontColor != clNone)
            setFontColor(FFocusFontColor);
    } else {
        setColor(FNormalColor);
        setFontColor(FFontColor);
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

void TAdvEdit::SelectAll()
{
    const auto s = EditValue::SelectAllRange(Text(), m_control.PrefixLength(), FShowURL);
    // the URL case may select past the value end; the line edit clips it
    setSelection(s.start, qMin(s.length, int(QLineEdit::text().size()) - s.start));
}

void TAdvEdit::Init()
{
    FNormalColor = FColor;
    FFontColor = m_shownFontColor;
    FOldBorder = hasFrame();
    if (!IsLoading())
        ApplyFlat();
    if (!isEnabled()) {
        const TColor keep = FNormalColor;
        setBackground(FDisabledColor);
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
    if (FLabel) {
        if (!FLabelAlwaysEnabled)
            FLabel->setEnabled(isEnabled());
        UpdateLabelPosition();
        if (!testAttribute(Qt::WA_SetFont))
            FLabel->setFont(font());
    }
    FParentFnt = !testAttribute(Qt::WA_SetFont);
    UpdateLabelPosition();
}

void TAdvEdit::setEditAlign(TEditAlign a)
{
    if (!StoreIfChanged(FEditAlign, a))
        return;
    Qt::Alignment al = Qt::AlignLeft;
    if (a == eaRight)
        al = Qt::AlignRight;
    else if (a == eaCenter)
        al = Qt::AlignHCenter;
    setAlignment(al | Qt::AlignVCenter);
    emit editAlignChanged(a);
}

void TAdvEdit::setFlat(bool b)
{
    if (Notify(FFlat, b, &TAdvEdit::flatChanged) && !IsLoading())
        ApplyFlat();
}

void TAdvEdit::ApplyFlat()
{
    if (FFlat) {
        FNormalColor = FColor;
        if (FFlatParentColor && parentWidget()) {
            const TColor pc
                = QColorToColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
            setBackground(pc);
            setFocusColor(pc);
        } else {
            setBackground(FNormalColor);
        }
        setFrame(false);
    } else {
        setBackground(FNormalColor);
        setFrame(FOldBorder);
    }
    UpdateTextRect(FFlat);
    update();
}

void TAdvEdit::setTransparent(bool b)
{
    if (!Notify(FTransparent, b, &TAdvEdit::transparentChanged))
        return;
    setAutoFillBackground(!b);
    ApplyPalette();
}

void TAdvEdit::setShowURL(bool b)
{
    if (!Notify(FShowURL, b, &TAdvEdit::showUrlChanged))
        return;
    setUrlLook(b && IsUrlText());
}

void TAdvEdit::setUrlLook(bool on)
{
    if (on == FIsUrl)
        return;
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    FIsUrl = on;
    if (on) {
        setFontColor(FURLColor);
        setCursor(Qt::PointingHandCursor);
    } else {
        setFontColor(FFontColor);
        setCursor(Qt::IBeamCursor);
    }
}

bool TAdvEdit::IsUrlText() const
{
    // a password is never shown or opened as an address
    return echoMode() == QLineEdit::Normal && EditValue::IsUrlText(Text());
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

void TAdvEdit::ControlTextChanged()
{
    m_typed.ValueWritten();
    if (m_undoingForeignEdit)
        return;
    // the line edit reports an edit that was undone once more, after the undo
    if (std::exchange(m_staleChange, false))
        return;
    m_known.text = QLineEdit::text();
    if (const QString v = Text(); StoreIfChanged(m_lastValue, v))
        emit valueChanged(v);
    if (FBlockChange) {
        FBlockChange = false;
        return;
    }
    if (FTransparent)
        update();
    if (FShowURL)
        setUrlLook(IsUrlText());
    Change();
}

void TAdvEdit::Change()
{
    if (!IsLoading() && FShowError)
        setIsError(!ValidateValue(Text()));
    if (OnChange)
        OnChange(this);
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
        if (FLabel && !testAttribute(Qt::WA_SetFont))
            UpdateLabelPosition();
    } else if (e->type() == QEvent::LocaleChange) {
        // the application's number format may be another now; the value must still read the same
        m_typed.NumberFormatChanged(m_control);
    } else if (e->type() == QEvent::ParentChange) {
        LabelFollows();
    } else if (e->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            HideLookup();
        const bool now = isEnabled();
        if (IsLoading() || now == m_wasEnabled)
            return;
        m_wasEnabled = now;
        if (now) {
            setColor(FNormalColor);
        } else {
            const TColor keep = FColor;
            setColor(FDisabledColor);
            FNormalColor = keep;
        }
        if (FLabel && !FLabelAlwaysEnabled)
            FLabel->setEnabled(now);
    }
}

// ---- focus ----

void TAdvEdit::focusInEvent(QFocusEvent* e)
{
    if (IsLoading())
        return;
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(e);
    // a popup (the field's menu, its lookup list, a menu bar's menu) is not a focus change
    if (e->reason() == Qt::PopupFocusReason)
        return;
    m_control.setFocusValue(Text());
    if (FFocusColor != clNone)
        setBackground(FFocusColor);
    if (!ErrorShowing() && !FShowModified) {
        FFontColor = m_shownFontColor;
        if (!(IsUrlText() && FShowURL) && FFocusFontColor != clNone)
            setFontColor(FFocusFontColor);
    }
    // focusing by any means selects the value (the line edit only does so for Tab, and selects
    // the prefix and suffix with it)
    if (FAutoSelect)
        SelectAll();
    else
        setCursorPosition(caret);
    if (FFocusLabel && FLabel) {
        m_labelBold = true;
        UpdateLabelPosition();
    }
    if (FFocusWidthInc > 0 && !FAlignChanging) {
        m_widenedBy = FFocusWidthInc;
        resize(width() + FFocusWidthInc, height());
        updateGeometry();
    }
    FOldEditAlign = FEditAlign;
    if (FFocusAlign != FEditAlign && FFocusAlign != eaDefault) {
        FAlignChanging = true;
        setEditAlign(FFocusAlign);
        FAlignChanging = false;
    }
    update();
}

void TAdvEdit::focusOutEvent(QFocusEvent* e)
{
    if (IsLoading())
        return;
    if (e->reason() == Qt::PopupFocusReason) {
        QLineEdit::focusOutEvent(e);
        return;
    }
    HideLookup(); // the drop-down never takes the focus itself
    if (!FError && FColor != FNormalColor)
        setColor(FNormalColor);
    if (!ErrorShowing() && !FShowModified && !(FIsUrl && FShowURL))
        setFontColor(FFontColor);
    if (FFocusLabel && FLabel) {
        m_labelBold = false;
        UpdateLabelPosition();
    }
    m_control.FocusLost();
    ValidateValue(Text());
    QLineEdit::focusOutEvent(e);
    if (!FAlignChanging) {
        if (FFocusWidthInc > 0)
            resize(width() - FFocusWidthInc, height());
        if (std::exchange(m_widenedBy, 0) > 0)
            updateGeometry();
        if (FOldEditAlign != FEditAlign && FFocusAlign != eaDefault)
            setEditAlign(FOldEditAlign);
        if (FLookup->History())
            if (const QString v = Text().trimmed(); !v.isEmpty())
                FLookup->AddDisplay(v);
    }
    update();
}

// ---- keyboard ----

void TAdvEdit::keyPressEvent(QKeyEvent* e)
{
    TEditKey key { e->key(), e->modifiers(), e->text() };
    if (e == QKeySequence::Copy)
        key.command = TEditKey::Copy;
    else if (e == QKeySequence::Cut)
        key.command = TEditKey::Cut;
    else if (e == QKeySequence::Paste)
        key.command = TEditKey::Paste;
    if (key.command == TEditKey::Copy || key.command == TEditKey::Cut) {
        key.command == TEditKey::Copy ? copy() : cut();
        e->accept();
        return;
    }
    const OwnEdit own(*this);
    m_key = e;
    const bool usedUp = m_control.KeyPress(key);
    m_key = nullptr;
    if (usedUp)
        e->accept();
}

QSize TAdvEdit::sizeHint() const
{
    return QLineEdit::sizeHint() + QSize(m_widenedBy, 0);
}

// ---- the field as its editing rules see it ----

QString TAdvEdit::ClipboardText() const
{
    return QApplication::clipboard()->text();
}

void TAdvEdit::Select(int anchor, int caret)
{
    if (anchor == caret)
        setCursorPosition(caret);
    else
        setSelection(anchor, caret - anchor);
}

void TAdvEdit::PassKey(const QString& text)
{
    if (!m_key)
        return;
    if (text == m_key->text()) {
        QLineEdit::keyPressEvent(m_key);
        return;
    }
    QKeyEvent replaced(m_key->type(), m_key->key(), m_key->modifiers(), text, m_key->isAutoRepeat());
    QLineEdit::keyPressEvent(&replaced);
    m_key->setAccepted(replaced.isAccepted());
}

bool TAdvEdit::ForwardKeyToParent(int key)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return false;
    QCoreApplication::postEvent(parent, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(parent, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    return true;
}

void TAdvEdit::KeyPressed(QChar& ch)
{
    if (OnKeyPress)
        OnKeyPress(this, ch);
}

bool TAdvEdit::AllowPaste(const QString& newValue)
{
    bool allow = true;
    if (OnClipboardPaste)
        OnClipboardPaste(this, newValue, allow);
    return allow;
}

void TAdvEdit::Undo(const QString& value)
{
    setText(value);
    if (FFocusFontColor != clNone)
        setFontColor(FFocusFontColor);
    SelectAll();
    setModified(false);
}

void TAdvEdit::inputMethodEvent(QInputMethodEvent* e)
{
    // A typed field takes composed text one character at a time, as if typed.
    if (!e->commitString().isEmpty() && EditType() != etString && EditType() != etPassword) {
        const QString commit = e->commitString();
        e->setCommitString(QString());
        {
            const OwnEdit own(*this);
            QLineEdit::inputMethodEvent(e);
        }
        for (qsizetype i = 0; i < commit.size(); ++i) {
            const qsizetype n = commit[i].isHighSurrogate() && i + 1 < commit.size() ? 2 : 1;
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, commit.mid(i, n));
            keyPressEvent(&typed);
            i += n - 1;
        }
        return;
    }
    const OwnEdit own(*this);
    if (m_control.MaxLength() > 0 && !e->commitString().isEmpty()
        && int(Text().size()) - SelLength() + int(e->commitString().size()) > m_control.MaxLength())
        e->setCommitString(QString());
    QLineEdit::inputMethodEvent(e);
    m_control.KeepSelectionInValue();
}

// An edit the line edit made on its own, outside the field's handling: a call to one of its slots
// through a QLineEdit pointer. It is undone; a paste among them is done again by the field's rules.
void TAdvEdit::LineEditEdited()
{
    if (m_ownEdit > 0)
        return;
    const QString edited = QLineEdit::text();
    const QString clip = QApplication::clipboard()->text();
    const int from = qMin(m_known.anchor, m_known.caret);
    const int to = qMax(m_known.anchor, m_known.caret);
    const bool pasted = !clip.isEmpty() && edited == m_known.text.left(from) + clip + m_known.text.mid(to);
    const Known before = m_known;
    m_undoingForeignEdit = true;
    QLineEdit::setText(before.text);
    Select(before.anchor, before.caret);
    m_undoingForeignEdit = false;
    m_known = before;
    m_staleChange = true;
    if (pasted) {
        const OwnEdit own(*this);
        m_staleChange = false;
        paste();
        m_staleChange = true;
    }
}

void TAdvEdit::RememberSelection()
{
    if (m_undoingForeignEdit)
        return;
    m_known.caret = cursorPosition();
    m_known.anchor = !hasSelectedText()     ? m_known.caret
        : m_known.caret == selectionStart() ? selectionEnd()
                                            : selectionStart();
}

// ---- clipboard ----

void TAdvEdit::copy() const
{
    // a password never leaves the field, not even to the copy event
    if (echoMode() != QLineEdit::Normal)
        return;
    auto* self = const_cast<TAdvEdit*>(this);
    bool allow = true;
    if (OnClipboardCopy && !FBlockCopy)
        OnClipboardCopy(self, selectedText(), allow);
    self->FBlockCopy = false;
    if (allow && hasSelectedText() && echoMode() == QLineEdit::Normal)
        QApplication::clipboard()->setText(selectedText());
}

void TAdvEdit::cut()
{
    // nor by cutting, which would otherwise delete it without a copy
    if (echoMode() != QLineEdit::Normal)
        return;
    FBlockCopy = true;
    bool allow = true;
    if (OnClipboardCut)
        OnClipboardCut(this, selectedText(), allow);
    if (allow && !isReadOnly()) {
        const OwnEdit own(*this);
        QLineEdit::cut();
    }
    FBlockCopy = false;
}

void TAdvEdit::paste()
{
    const OwnEdit own(*this);
    m_control.Paste();
    m_control.KeepSelectionInValue();
}

void TAdvEdit::selectAll()
{
    SelectAll();
}

QMenu* TAdvEdit::createStandardContextMenu()
{
    // The clipboard commands run through the field's rules and events; the line edit's own
    // undo, redo and delete are its edits too.
    auto* menu = new QMenu(this);
    const bool ro = isReadOnly();
    const bool sel = hasSelectedText();
    const bool shown = echoMode() == QLineEdit::Normal;
    auto add = [&](const QString& text, const char* name, QKeySequence::StandardKey key, bool enabled,
                   const std::function<void()>& slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, [this, slot] {
            const OwnEdit own(*this);
            slot();
            m_control.KeepSelectionInValue();
        });
    };
    if (!ro) {
        add(tr("&Undo"), "edit-undo", QKeySequence::Undo, isUndoAvailable(), [this] { undo(); });
        add(tr("&Redo"), "edit-redo", QKeySequence::Redo, isRedoAvailable(), [this] { redo(); });
        menu->addSeparator();
        add(tr("Cu&t"), "edit-cut", QKeySequence::Cut, sel && shown, [this] { cut(); });
    }
    add(tr("&Copy"), "edit-copy", QKeySequence::Copy, sel && shown, [this] { copy(); });
    if (!ro) {
        add(tr("&Paste"), "edit-paste", QKeySequence::Paste, !QApplication::clipboard()->text().isEmpty(),
            [this] { paste(); });
        add(tr("Delete"), "edit-delete", QKeySequence::Delete, sel, [this] { del(); });
    }
    menu->addSeparator();
    add(tr("Select All"), "select-all", QKeySequence::SelectAll, !Text().isEmpty(), [this] { SelectAll(); });
    return menu;
}

void TAdvEdit::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

// ---- mouse ----

void TAdvEdit::mousePressEvent(QMouseEvent* e)
{
    m_pressPos = e->position().toPoint();
    if (e->button() == Qt::LeftButton && hasSelectedText() && hasFocus()) {
        const int c = CharFromPos(e->position().toPoint());
        if (c >= SelStart() && c <= SelEnd()) {
            FButtonDown = true;
            return;
        }
    }
    QLineEdit::mousePressEvent(e);
    if (hasSelectedText())
        m_control.KeepSelectionInValue();
}

void TAdvEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    m_control.KeepSelectionInValue();
}

void TAdvEdit::mouseMoveEvent(QMouseEvent* e)
{
    if (!FButtonDown) {
        QLineEdit::mouseMoveEvent(e);
        if (hasSelectedText())
            m_control.KeepSelectionInValue();
    }
    // a password's text never leaves the field
    if (hasSelectedText() && FButtonDown && FOleDropSource && echoMode() == QLineEdit::Normal
        && (e->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        FButtonDown = false;
        StartTextDrag(selectedText());
    }
}

void TAdvEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        // the selection's paste goes through the field's rules, at the point clicked
        if (!isReadOnly()) {
            const OwnEdit own(*this);
            const int at = CharFromPos(e->position().toPoint());
            Select(at, at);
            m_control.KeepSelectionInValue();
            m_control.PasteText(QApplication::clipboard()->text(QClipboard::Selection));
        }
        e->accept();
        return;
    }
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
    const int prefixLen = m_control.PrefixLength();
    if (!Prefix().isEmpty() && SelStart() < prefixLen)
        setSelection(prefixLen, int(Text().size()));
    if (!Suffix().isEmpty()) {
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
    if (e->type() == QEvent::ToolTip && FHintShowLargeText && echoMode() == QLineEdit::Normal
        && GetTextSize() > width()) {
        auto* he = static_cast<QHelpEvent*>(e);
        Q_UNUSED(he);
        QToolTip::showText(mapToGlobal(QPoint(0, 0)), Text(), this);
        return true;
    }
    const bool handled = QLineEdit::event(e);
    if (e->type() == QEvent::InputMethodQuery && echoMode() != QLineEdit::Normal)
        HideTextFromInputMethod(*static_cast<QInputMethodQueryEvent*>(e));
    return handled;
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
    if (!isEnabled() && FDisabledBorder) {
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
