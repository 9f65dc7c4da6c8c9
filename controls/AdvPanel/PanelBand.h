// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "Font.h"
#include "Property.h"

#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <algorithm>
#include <functional>

// Walks of a settings object's Qt properties, so that comparing and signalling after a whole copy
// cover every property without a list of names to keep.
namespace PanelProperties {

// The values of every property `object` declares beyond QObject's.
inline QVector<QVariant> Values(const QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    QVector<QVariant> values;
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        values << meta->property(i).read(&object);
    return values;
}

// Emits the notify signal of each property whose value differs from `before` (from Values).
inline void EmitChanges(QObject& object, const QVector<QVariant>& before)
{
    const QMetaObject* meta = object.metaObject();
    const int first = QObject::staticMetaObject.propertyCount();
    for (int i = first; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.hasNotifySignal() && property.read(&object) != before[i - first])
            property.notifySignal().invoke(&object, Qt::DirectConnection);
    }
}

// Writes every writable property of `from` into `to`, an object of the same class, through its
// setters.
inline void Copy(QObject& to, const QObject& from)
{
    const QMetaObject* meta = from.metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isWritable())
            property.write(&to, property.read(&from));
    }
}

} // namespace PanelProperties

// What a panel's caption bar and status bar have in common: a band of Height pixels, shown or not,
// with mini-markup text in Font on a plain or gradient background. Each setter stores, notifies the
// owner (OnChange) and emits the property's signal only when the value changes.
class TPanelBand : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible NOTIFY visibleChanged)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(int Height READ Height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo NOTIFY colorToChanged)
    Q_PROPERTY(AdvPanel::TGradientDirection GradientDirection READ GradientDirection WRITE
            setGradientDirection NOTIFY gradientDirectionChanged)
    Q_PROPERTY(TFont Font READ Font WRITE setFont NOTIFY fontChanged)

public:
    bool Visible() const { return FVisible; }
    void setVisible(bool value)
    {
        if (!StoreIfChanged(FVisible, value))
            return;
        AfterVisibleChange();
        emit visibleChanged();
    }
    QString Text() const { return FText; }
    void setText(const QString& value) { Set(FText, value, &TPanelBand::textChanged); }
    // Thickness in pixels of the band including the bevels around it.
    int Height() const { return FHeight; }
    void setHeight(int value)
    {
        Set(FHeight, std::clamp(value, 0, AdvPanel::kMaxExtent), &TPanelBand::heightChanged);
    }
    // Background; a gradient to ColorTo unless that is clNone.
    TColor Color() const { return FColor; }
    void setColor(TColor value)
    {
        if (!StoreIfChanged(FColor, value))
            return;
        AfterColorChange();
        emit colorChanged();
    }
    TColor ColorTo() const { return FColorTo; }
    void setColorTo(TColor value) { Set(FColorTo, value, &TPanelBand::colorToChanged); }
    AdvPanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void setGradientDirection(AdvPanel::TGradientDirection value)
    {
        Set(FGradientDirection, value, &TPanelBand::gradientDirectionChanged);
    }
    const TFont& Font() const { return FFont; }
    void setFont(const TFont& value) { Set(FFont, value, &TPanelBand::fontChanged); }

    // Every property equal (a band of another kind never is).
    bool SameAs(const TPanelBand& other) const
    {
        return metaObject() == other.metaObject()
            && PanelProperties::Values(*this) == PanelProperties::Values(other);
    }

    std::function<void()> OnChange;

signals:
    void visibleChanged();
    void textChanged();
    void heightChanged();
    void colorChanged();
    void colorToChanged();
    void gradientDirectionChanged();
    void fontChanged();

protected:
    TPanelBand(int height, TColor color, QObject* parent)
        : QObject(parent)
        , FHeight(height)
        , FColor(color)
    {
    }

    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    // What follows a change of Visible or Color; by default the change alone.
    virtual void AfterVisibleChange() { Changed(); }
    virtual void AfterColorChange() { Changed(); }

    // Stores, notifies the owner and emits `signal` (of this band's class) on a change.
    template <typename T, typename Band> void Set(T& field, const T& value, void (Band::*signal)())
    {
        if (!StoreIfChanged(field, value))
            return;
        Changed();
        emit(static_cast<Band*>(this)->*signal)();
    }
    // Stores and emits `signal` on a change, without notifying the owner.
    template <typename T, typename Band> void SetQuietly(T& field, const T& value, void (Band::*signal)())
    {
        if (StoreIfChanged(field, value))
            emit(static_cast<Band*>(this)->*signal)();
    }
    // Copies the background and the font, without notifying.
    void AssignLook(const TPanelBand& source)
    {
        FColor = source.FColor;
        FColorTo = source.FColorTo;
        FGradientDirection = source.FGradientDirection;
        FFont = source.FFont;
    }

    bool FVisible = false;
    QString FText;
    int FHeight;
    TColor FColor;
    TColor FColorTo = clNone;
    AdvPanel::TGradientDirection FGradientDirection = AdvPanel::gdHorizontal;
    TFont FFont;
};
