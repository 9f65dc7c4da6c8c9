// SPDX-License-Identifier: MIT
#pragma once

#include "Property.h"

#include <QFlags>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

enum class TDialogPosition { fdpDefault, fdpScreenCenter, fdpXY };

enum TOption : unsigned {
    fdoBrowseForComputer = 1u << 0,
    fdoBrowseForPrinter = 1u << 1,
    fdoDontgoBelowDomain = 1u << 2,
    fdoReturnFSAncestors = 1u << 3,
    fdoReturnOnlyFSDirs = 1u << 4,
    fdoStatusText = 1u << 5,
    fdoNewDialogStyle = 1u << 6,
    fdoNoNewFolderButton = 1u << 7,
    fdoEditBox = 1u << 8,
};
Q_DECLARE_FLAGS(TFolderOptions, TOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFolderOptions)

// The browser flag word of a set of options (BIF_ values).
unsigned BrowseFlags(TFolderOptions options);

// What the folder browser is asked to do.
struct TBrowseRequest {
    QWidget* owner = nullptr;
    QString title; // text shown with the folder tree
    QString directory; // folder to preselect
    unsigned flags = 0; // BrowseFlags of the options
    // Called once the browser window exists and has its size, before the user sees it.
    std::function<void(QWidget* window)> initialized;
};

// What came back: the chosen item (empty on cancel) and its icon index.
struct TBrowseResult {
    QUrl item;
    int imageIndex = 0;
};

// The seam between TFolderDialog and the modal window; tests put a fake in its place.
class TFolderBrowser {
public:
    virtual ~TFolderBrowser() = default;
    // Runs the browser modally; nothing on cancel. May throw; that counts as a cancel.
    virtual std::optional<TBrowseResult> browse(const TBrowseRequest& request) = 0;
};

// Qt's directory dialog (QFileDialog in directory mode).
class TQtFolderBrowser : public TFolderBrowser {
public:
    std::optional<TBrowseResult> browse(const TBrowseRequest& request) override;
};

// Top-left corner for the browser window; `virtualDesktop` is the size of all screens together.
QPoint FolderDialogTopLeft(
    TDialogPosition position, QPoint current, QSize window, QSize virtualDesktop, int dialogX, int dialogY);

// Non-visual folder chooser: preselects Directory, places the window, and on success returns the
// chosen folder in Directory.
class TFolderDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY settingsChanged)
    Q_PROPERTY(QString Title READ Title WRITE setTitle NOTIFY settingsChanged)
    Q_PROPERTY(QString Directory READ Directory WRITE setDirectory NOTIFY directoryChanged)
    Q_PROPERTY(int ImageIndex READ ImageIndex NOTIFY imageIndexChanged)
    Q_PROPERTY(int DialogX READ DialogX WRITE setDialogX NOTIFY settingsChanged)
    Q_PROPERTY(int DialogY READ DialogY WRITE setDialogY NOTIFY settingsChanged)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)

public:
    explicit TFolderDialog(QObject* owner = nullptr);

    // True when a folder with a local path was chosen; it is then in Directory.
    bool Execute();

    QString Caption() const { return FCaption; }
    void setCaption(const QString& v) { SetSetting(FCaption, v); }
    QString Title() const { return FTitle; }
    void setTitle(const QString& v) { SetSetting(FTitle, v); }
    QString Directory() const { return FDirectory; }
    void setDirectory(const QString& v);
    int ImageIndex() const { return FImageIndex; }
    TFolderOptions Options() const { return FOptions; }
    void setOptions(TFolderOptions v) { FOptions = v; }
    TDialogPosition DialogPosition() const { return FDialogPosition; }
    void setDialogPosition(TDialogPosition v) { FDialogPosition = v; }
    int DialogX() const { return FDialogX; }
    void setDialogX(int v) { SetSetting(FDialogX, v); }
    int DialogY() const { return FDialogY; }
    void setDialogY(int v) { SetSetting(FDialogY, v); }
    QString Version() const;
    void setVersion(const QString&) { }

    // Replaces the browser (the dialog owns it); null restores Qt's.
    void setBrowser(std::unique_ptr<TFolderBrowser> browser);

    // Preselection is the browser's; this places the window and sets its title.
    void placeWindow(QWidget* window) const;

signals:
    // A folder was chosen, or Directory was set or replaced by the current directory.
    void directoryChanged(const QString& directory);
    void imageIndexChanged(int imageIndex);
    // Caption, Title, DialogX or DialogY changed.
    void settingsChanged();

private:
    template <class T> void SetSetting(T& field, const T& value)
    {
        if (StoreIfChanged(field, value))
            emit settingsChanged();
    }

    QString FTitle;
    QString FDirectory;
    TFolderOptions FOptions;
    int FImageIndex = 0;
    int FDialogX = 0, FDialogY = 0;
    TDialogPosition FDialogPosition = TDialogPosition::fdpDefault;
    QString FCaption;
    std::unique_ptr<TFolderBrowser> m_browser;
};

// Path parts with a set of separators (on Windows "\\:", elsewhere "/"): the folder part runs up
// to and including the last separator, the file name part is the rest.
QString FolderPart(const QString& path, const QString& separators);
QString FileNamePart(const QString& path, const QString& separators);

// The fixed-file path moved into `folder`: folder, the first separator of the set, then the file
// name part of `fixedFile`; a folder that already ends in a separator (a drive root, or "/") gets
// no second one.
QString MoveToFolder(const QString& fixedFile, const QString& folder, const QString& separators);

// The "change" link: preselects the fixed file's folder, runs the dialog and, when a folder that
// still exists was chosen, returns the new fixed-file path; nothing otherwise.
std::optional<QString> ChooseFixedFileFolder(
    TFolderDialog& dialog, const QString& fixedFile, const QString& separators);

// The host's separator set.
QString HostPathSeparators();
