// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// Options of the file-open dialog (a set of flags).
enum TOpenOption : unsigned {
    ofReadOnly = 0x1, // the "open as read-only" box starts checked
    ofHideReadOnly = 0x2, // that box is not shown
    ofPathMustExist = 0x4,
    ofFileMustExist = 0x8,
    ofEnableSizing = 0x10, // the dialog can be resized
};

// The common file-open dialog as a component: set its values, call Execute, read FileName.
// Filter holds "name|patterns" pairs joined by "|", patterns separated by ";" ("Images|*.png;*.bmp").
// FilterIndex counts from 1.
class TOpenDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title MEMBER Title)
    Q_PROPERTY(QString Filter MEMBER Filter)
    Q_PROPERTY(int FilterIndex MEMBER FilterIndex)
    Q_PROPERTY(QString InitialDir MEMBER InitialDir)
    Q_PROPERTY(unsigned Options MEMBER Options)
    Q_PROPERTY(QString FileName MEMBER FileName)

public:
    explicit TOpenDialog(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    QString Title;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    unsigned Options = ofHideReadOnly | ofEnableSizing;
    QString FileName; // the chosen file's full path in native form after a successful Execute
    // The dialog's size, splitter and columns as the user last left them; empty until it has run.
    // Execute restores and updates it; an owner that keeps it between runs keeps the layout.
    QByteArray State;

    // Runs the dialog modally over `owner`; true when the user chose a file (FileName then holds it).
    bool Execute(QWidget* owner = nullptr);

    // The Qt name filters for Filter ("name (p1 p2)"), in order. "*.*" matches every name, also names
    // without a dot.
    QStringList NameFilters() const;
    // Applies every value to `dialog` without showing it. Without a State to restore, the dialog
    // opens in detail view and, once its first folder is listed, sizes the columns to what they
    // show and widens itself to show them all (within its screen).
    void Configure(QFileDialog& dialog) const;
    // Takes the layout `dialog` was left in as the State for its next run.
    void KeepState(const QFileDialog& dialog);
};
