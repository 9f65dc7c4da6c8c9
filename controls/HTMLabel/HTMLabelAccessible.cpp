// SPDX-License-Identifier: MIT
#include "HTMLabelAccessible.h"

#include "HTMLabel.h"
#include "HTMLabelRenderer.h"
#include "NullCanvas.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>

namespace {

// Measures through the label's measuring canvas and notes where the engine draws text and the focus
// rectangle of one anchor.
class TAnchorRecorder final : public TMeasuringNullCanvas {
public:
    struct Run {
        QString text;
        TRect rect;
    };
    std::vector<TRect> focusParts;
    std::vector<Run> runs;

    using TMeasuringNullCanvas::TMeasuringNullCanvas;

    int DrawText(QStringView text, TRect& rect, unsigned format) override
    {
        const int height = TMeasuringNullCanvas::DrawText(text, rect, format);
        if (!(format & DT::CalcRect))
            runs.push_back({ text.toString(), rect });
        return height;
    }
    void DrawFocusRect(const TRect& r) override { focusParts.push_back(r); }
};

// A run belongs to the anchor when its middle lies in one of the anchor's focus rectangles (which
// reach one pixel past the text on either side, onto the neighbouring runs).
bool Within(const TRect& run, const TRect& part)
{
    const int x = (run.Left + run.Right) / 2;
    const int y = (run.Top + run.Bottom) / 2;
    return part.Contains(x, y);
}

class TAnchorAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TAnchorAccessible(THTMLabel* label, int index)
        : m_label(label)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_label && m_index < int(m_label->Anchors().size()); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_label ? m_label->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_label); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.linked = true;
        s.invisible = !m_label || !m_label->isVisible();
        s.disabled = !m_label || !m_label->isEnabled();
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        const THTMLabelAnchor anchor = Info();
        if (t == QAccessible::Name)
            return anchor.text;
        if (t == QAccessible::Description || t == QAccessible::Value)
            return anchor.target;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        const QRect r = Info().Bounds();
        return m_label && !r.isEmpty() ? QRect(m_label->mapToGlobal(r.topLeft()), r.size()) : QRect();
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return { pressAction() }; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& name) override
    {
        const THTMLabelAnchor anchor = Info();
        if (name != pressAction() || !m_label || !m_label->isEnabled() || anchor.parts.empty())
            return;
        // Pressed as the mouse presses it, so the label's events and its opening rule apply.
        const QPointF at = anchor.parts.front().center();
        QMouseEvent press(QEvent::MouseButtonPress, at, m_label->mapToGlobal(at), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_label, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, m_label->mapToGlobal(at), Qt::LeftButton,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_label, &release);
    }

private:
    THTMLabelAnchor Info() const
    {
        if (!m_label)
            return {};
        const std::vector<THTMLabelAnchor> anchors = m_label->Anchors();
        return m_index < int(anchors.size()) ? anchors[size_t(m_index)] : THTMLabelAnchor();
    }

    QPointer<THTMLabel> m_label;
    int m_index;
};

class THTMLabelAccessibleImpl final : public QAccessibleWidget {
public:
    explicit THTMLabelAccessibleImpl(THTMLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }
    ~THTMLabelAccessibleImpl() override
    {
        for (const QAccessible::Id id : m_children)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return Label()->Text();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(Label()->Anchors().size()); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (m_children.size() <= index)
            m_children.append(QAccessible::registerAccessibleInterface(
                new TAnchorAccessible(Label(), int(m_children.size()))));
        return QAccessible::accessibleInterface(m_children[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < m_children.size(); ++i) {
            if (QAccessible::accessibleInterface(m_children[i]) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = Label()->mapFromGlobal(QPoint(x, y));
        const std::vector<THTMLabelAnchor> anchors = Label()->Anchors();
        for (size_t i = 0; i < anchors.size(); ++i) {
            for (const QRect& part : anchors[i].parts) {
                if (part.contains(at))
                    return child(int(i));
            }
        }
        return nullptr;
    }

private:
    THTMLabel* Label() const { return static_cast<THTMLabel*>(widget()); }

    mutable QList<QAccessible::Id> m_children;
};

QAccessibleInterface* AccessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("THTMLabel") && object && object->isWidgetType())
        return new THTMLabelAccessibleImpl(static_cast<THTMLabel*>(object));
    return nullptr;
}

} // namespace

void InstallHTMLabelAccessibility()
{
    static const bool installed = (QAccessible::installFactory(AccessibleFor), true);
    Q_UNUSED(installed);
}

QRect THTMLabelAnchor::Bounds() const
{
    QRect bounds;
    for (const QRect& part : parts)
        bounds |= part;
    return bounds;
}

std::vector<THTMLabelAnchor> THTMLabel::Anchors()
{
    return m_renderer->Anchors(TextLayout());
}

std::vector<THTMLabelAnchor> THTMLabelRenderer::Anchors(const THTMLabelLayout& layout)
{
    TCanvas& measure = MeasureCanvas(layout);
    const TRect rect = Place(layout, measure, QPoint(-1, -1), true).rect;

    TMarkupParams params = Params(layout, rect, Call::Layout, QPoint(-1, -1));
    TMarkupResult counted;
    DrawMarkup(measure, layout.text, params, counted);

    std::vector<THTMLabelAnchor> anchors;
    params = Params(layout, rect, Call::Draw, QPoint(-1, -1));
    for (int i = 0; i < counted.AnchorCount; ++i) {
        TAnchorRecorder recorder(measure);
        recorder.Font = layout.font;
        params.FocusAnchor = i;
        TMarkupResult result;
        DrawMarkup(recorder, layout.text, params, result);
        THTMLabelAnchor anchor;
        anchor.target = result.FocusValue;
        for (const TRect& part : recorder.focusParts)
            anchor.parts.emplace_back(part.Left, part.Top, part.Width(), part.Height());
        int lastRight = INT_MIN;
        for (const TAnchorRecorder::Run& run : recorder.runs) {
            const bool inside = std::any_of(recorder.focusParts.begin(), recorder.focusParts.end(),
                [&](const TRect& part) { return Within(run.rect, part); });
            if (!inside)
                continue;
            if (!anchor.text.isEmpty() && run.rect.Left > lastRight && !anchor.text.endsWith(QLatin1Char(' '))
                && !run.text.startsWith(QLatin1Char(' ')))
                anchor.text += QLatin1Char(' ');
            anchor.text += run.text;
            lastRight = run.rect.Right;
        }
        anchor.text = anchor.text.simplified();
        anchors.push_back(std::move(anchor));
    }
    return anchors;
}
