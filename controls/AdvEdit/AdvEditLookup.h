// SPDX-License-Identifier: MIT
#pragma once
#include "Color.h"

#include <QFrame>
#include <QList>
#include <QStringList>

class QListWidget;
class QSizeGrip;

// Settings of the edit field's drop-down lookup list (its Lookup property). A change is reported
// through `changed`.
class TLookupSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled NOTIFY changed)
    Q_PROPERTY(bool CaseSensitive READ CaseSensitive WRITE setCaseSensitive NOTIFY changed)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY changed)
    Q_PROPERTY(int DisplayCount READ DisplayCount WRITE setDisplayCount NOTIFY changed)
    Q_PROPERTY(QStringList DisplayList READ DisplayList WRITE setDisplayList NOTIFY changed)
    Q_PROPERTY(QStringList ValueList READ ValueList WRITE setValueList NOTIFY changed)
    Q_PROPERTY(bool History READ History WRITE setHistory NOTIFY changed)
    Q_PROPERTY(int NumChars READ NumChars WRITE setNumChars NOTIFY changed)
    Q_PROPERTY(bool Multi READ Multi WRITE setMulti NOTIFY changed)
    Q_PROPERTY(QString Separator READ Separator WRITE setSeparator NOTIFY changed)

public:
    using QObject::QObject;

    bool Enabled() const { return FEnabled; }
    void setEnabled(bool b);
    // Typed text and entries compared with case.
    bool CaseSensitive() const { return FCaseSensitive; }
    void setCaseSensitive(bool b);
    // Background of the list.
    TColor Color() const { return FColor; }
    void setColor(TColor c);
    // Rows shown at once (1 or more).
    int DisplayCount() const { return FDisplayCount; }
    void setDisplayCount(int n);
    // Entries offered: kept sorted without regard to case, an entry already there (in any case)
    // is not added again.
    QStringList DisplayList() const { return FDisplayList; }
    void setDisplayList(const QStringList& list);
    // Adds one entry; false when it was already there.
    bool AddDisplay(const QString& entry);
    // The value chosen for DisplayList entry i is ValueList[i] when there is one.
    QStringList ValueList() const { return FValueList; }
    void setValueList(const QStringList& list);
    // Leaving the field adds its value to DisplayList.
    bool History() const { return FHistory; }
    void setHistory(bool b);
    // Characters typed before the list drops down; values below 1 are ignored.
    int NumChars() const { return FNumChars; }
    void setNumChars(int n);
    // The value holds several entries, each ended by Separator; the typed part is the last.
    bool Multi() const { return FMulti; }
    void setMulti(bool b);
    // One character.
    QString Separator() const { return FSeparator; }
    void setSeparator(const QString& s);

    // Copies all settings of another TLookupSettings; anything else is ignored.
    void Assign(const QObject* source);

signals:
    void changed();

private:
    void Changed() { emit changed(); }

    bool FEnabled = false, FCaseSensitive = false, FHistory = false, FMulti = false;
    TColor FColor = clWindow;
    int FDisplayCount = 4, FNumChars = 2;
    QStringList FDisplayList, FValueList;
    QString FSeparator = QStringLiteral(";");
};

namespace Lookup {

struct Row {
    QString text;
    int index = 0; // in DisplayList
};
// The rows offered for `typed`: the DisplayList entries that begin with it (compared without
// case unless caseSensitive), sorted as the list shows them.
QList<Row> Rows(const QStringList& displayList, const QString& typed, bool caseSensitive);

struct TypedPart {
    QString text;
    int start = 0; // index in the value
};
// What the user is typing: the value, or with `multi` what follows its last separator.
TypedPart Typed(const QString& value, bool multi, const QString& separator);
// The value after choosing `chosen` with `multi`: everything up to and including the last
// separator, the choice and a separator.
QString MultiValue(const QString& value, const QString& separator, const QString& chosen);

// Where the list goes: its top-left at `spot` (just below the field's text) unless that would leave
// the screen; then it moves left, or above the field (whose top is `fieldTop`) at the bottom.
QPoint Place(const QPoint& spot, const QSize& size, const QRect& screen, int fieldTop);

} // namespace Lookup

// The drop-down of the lookup list: a top-level hint window with the list, shown beside a field
// that keeps the keyboard. It never takes the focus or activates; the field drives it.
class TLookupList : public QFrame {
    Q_OBJECT
public:
    static constexpr int RowHeight = 12;

    explicit TLookupList(QWidget* owner);

    // Fills the rows, of which `displayCount` show at once; row 0 becomes the current one.
    void setRows(const QList<Lookup::Row>& rows, TColor color, int displayCount);
    int RowCount() const;
    int CurrentRow() const; // -1: none
    void setCurrentRow(int row);
    // The current row's text and DisplayList index.
    Lookup::Row Current() const;
    // Size for `displayCount` rows at most; the width only counts when `keepWidth` is false.
    QSize SizeFor(int displayCount, bool keepWidth) const;
    // The size for its rows, as wide as the widest of them.
    QSize sizeHint() const override;
    QListWidget* List() const { return m_list; }

signals:
    // A row was clicked.
    void chosen();

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    static constexpr int GripSize = 10;
    QListWidget* m_list;
    QSizeGrip* m_grip;
    int m_displayCount = 1;
};
