// SPDX-License-Identifier: MIT
#include "FolderDialog.h"

#include "VersionText.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QScreen>

unsigned BrowseFlags(TFolderOptions options)
{
    static const std::pair<TOption, unsigned> table[] = {
        { fdoBrowseForComputer, 0x1000 },
        { fdoBrowseForPrinter, 0x2000 },
        { fdoDontgoBelowDomain, 0x2 },
        { fdoReturnFSAncestors, 0x8 },
        { fdoReturnOnlyFSDirs, 0x1 },
        { fdoStatusText, 0x4 },
        { fdoNewDialogStyle, 0x40 },
        { fdoNoNewFolderButton, 0x200 },
        { fdoEditBox, 0x10 },
    };
    unsigned flags = 0;
    for (const auto& [option, flag] : table)
        if (options.testFlag(option))
            flags |= flag;
    return flags;
}

std::optional<TBrowseResult> TQtFolderBrowser::browse(const TBrowseRequest& request)
{
    // Computers and printers are not folders Qt can offer; nothing can be chosen.
    if (request.flags & (0x1000 | 0x2000))
        return std::nullopt;
    QFileDialog dialog(request.owner, request.title, request.directory);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // Placement and title need a window of our own rather than the platform's.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, (request.flags & 0x200) != 0);
    dialog.setLabelText(QFileDialog::LookIn, request.title);
    dialog.adjustSize();
    if (request.initialized)
        request.initialized(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return std::nullopt;
    TBrowseResult result;
    result.item = dialog.selectedUrls().constFirst();
    const QString local = result.item.toLocalFile();
    result.imageIndex = QDir(local).isRoot() ? int(QAbstractFileIconProvider::Drive)
                                             : int(QAbstractFileIconProvider::Folder);
    return result;
}

QPoint FolderDialogTopLeft(
    TDialogPosition position, QPoint current, QSize window, QSize virtualDesktop, int dialogX, int dialogY)
{
    switch (position) {
    case TDialogPosition::fdpDefault:
        return current;
    case TDialogPosition::fdpScreenCenter:
        return { virtualDesktop.width() / 2 - window.width() / 2,
            virtualDesktop.height() / 2 - window.height() / 2 };
    case TDialogPosition::fdpXY:
        return { std::max(dialogX, 0), std::max(dialogY, 0) };
    }
    return current;
}

TFolderDialog::TFolderDialog(QObject* owner)
    : QObject(owner)
    , FDirectory(QDir::currentPath())
    , FOptions(fdoNewDialogStyle)
{
}

QString TFolderDialog::Version() const
{
    return VersionText(0x01010001);
}

void TFolderDialog::setDirectory(const QString& v)
{
    if (FDirectory == v)
        return;
    FDirectory = v;
    emit directoryChanged(FDirectory);
}

void TFolderDialog::setBrowser(std::unique_ptr<TFolderBrowser> browser)
{
    m_browser = std::move(browser);
}

void TFolderDialog::placeWindow(QWidget* window) const
{
    QSize desktop;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualSize();
    const QPoint corner = FolderDialogTopLeft(
        FDialogPosition, window->pos(), window->frameGeometry().size(), desktop, FDialogX, FDialogY);
    if (corner != window->pos())
        window->move(corner);
    if (!FCaption.isEmpty())
        window->setWindowTitle(FCaption);
}

bool TFolderDialog::Execute()
{
    if (!m_browser)
        m_browser = std::make_unique<TQtFolderBrowser>();
    TBrowseRequest request;
    QWidget* ownerWidget = qobject_cast<QWidget*>(parent());
    request.owner = ownerWidget ? ownerWidget->window() : QApplication::activeWindow();
    request.title = FTitle;
    if (!QFileInfo(FDirectory).isDir())
        setDirectory(QDir::currentPath());
    request.directory = FDirectory;
    request.flags = BrowseFlags(FOptions);
    request.initialized = [this](QWidget* window) { placeWindow(window); };

    std::optional<TBrowseResult> result;
    try {
        result = m_browser->browse(request);
    } catch (...) {
        return false;
    }
    if (!result || !result->item.isLocalFile())
        return false;
    const QString path = QDir::toNativeSeparators(result->item.toLocalFile());
    if (path.isEmpty())
        return false;
    setDirectory(path);
    if (FImageIndex != result->imageIndex) {
        FImageIndex = result->imageIndex;
        emit imageIndexChanged(FImageIndex);
    }
    return true;
}

QString FolderPart(const QString& path, const QString& separators)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (separators.contains(path[i]))
            return path.left(i + 1);
    return {};
}

QString FileNamePart(const QString& path, const QString& separators)
{
    return path.mid(FolderPart(path, separators).size());
}

QString MoveToFolder(const QString& fixedFile, const QString& folder, const QString& separators)
{
    const QChar separator = separators.isEmpty() ? QLatin1Char('/') : separators.front();
    QString result = folder;
    if (!result.endsWith(separator))
        result += separator;
    return result + FileNamePart(fixedFile, separators);
}

std::optional<QString> ChooseFixedFileFolder(
    TFolderDialog& dialog, const QString& fixedFile, const QString& separators)
{
    dialog.setDirectory(FolderPart(fixedFile, separators));
    if (!dialog.Execute() || !QFileInfo(dialog.Directory()).isDir())
        return std::nullopt;
    return MoveToFolder(fixedFile, dialog.Directory(), separators);
}

QString HostPathSeparators()
{
    return QDir::separator() == QLatin1Char('\\') ? QStringLiteral("\\:") : QStringLiteral("/");
}
